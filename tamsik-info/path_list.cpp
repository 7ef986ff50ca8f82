// SPDX-License-Identifier: MIT
#include "tamsik-info/path_list.h"

#include <cstring>

bool TPathList::Fill() {
  if (AtEnd_ || Failed_) return false;
  Start_ = 0;
  End_ = std::fread(Buffer_.data(), 1, Buffer_.size(), Stream_);
  if (End_ == 0) {
    if (std::ferror(Stream_))
      Failed_ = true;
    else
      AtEnd_ = true;
    return false;
  }
  return true;
}

TPathList::TNext TPathList::Next(std::string& path, std::size_t maxBytes) {
  for (;;) {
    path.clear();
    bool tooLong = false, separated = false;
    while (!separated && (Start_ < End_ || Fill())) {
      const char* begin = Buffer_.data() + Start_;
      const void* found = std::memchr(begin, Separator_, End_ - Start_);
      std::size_t length =
          found ? static_cast<std::size_t>(static_cast<const char*>(found) - begin) : End_ - Start_;
      // Only what may still fit is kept, so a list without separators costs no more memory than
      // one long path.
      if (path.size() + length <= maxBytes + 1)
        path.append(begin, length);
      else
        tooLong = true;
      Start_ += length + (found ? 1 : 0);
      separated = found != nullptr;
    }
    if (Separator_ == '\n' && !path.empty() && path.back() == '\r') path.pop_back();
    if (tooLong || path.size() > maxBytes) return TNext::TooLong;
    if (!path.empty()) return TNext::Path;
    if (!separated) return Failed_ ? TNext::Error : TNext::End;
  }
}
