// SPDX-License-Identifier: MIT
#include "tamsik-full/settings.h"

int main(int argc, char** argv) { return RunComparer(kFullVersionSettings, argc, argv); }
