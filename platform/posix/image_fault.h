// SPDX-License-Identifier: MIT
// Why an image yields no version data, and the value-or-fault that every step of the search
// returns: a step either hands on what it found or names the fault that ends the search.
#pragma once

#include <utility>

enum class TImageFault {
  None,
  NotAnImage,         // no MZ header, or no PE/NE header behind it
  Truncated,          // a structure or the data runs past the end of the file
  BadSignature,       // an optional header of an unknown kind
  NoResources,        // the image has no resource directory or table
  NoVersionResource,  // the resources hold no version entry
  BadDirectory,       // a directory entry points at the wrong kind of structure
  OutsideImage,       // an address that no section maps
};

template <typename T>
class TExpected {
 public:
  TExpected(T value) : Value_(std::move(value)) {}
  // A fault of None would be a value that is not there: it is taken for NotAnImage.
  TExpected(TImageFault fault)
      : Fault_(fault == TImageFault::None ? TImageFault::NotAnImage : fault) {}

  explicit operator bool() const { return Fault_ == TImageFault::None; }
  TImageFault Fault() const { return Fault_; }

  // Only where operator bool said true.
  const T& operator*() const { return Value_; }
  T& operator*() { return Value_; }
  const T* operator->() const { return &Value_; }
  T* operator->() { return &Value_; }

 private:
  TImageFault Fault_ = TImageFault::None;
  T Value_{};
};
