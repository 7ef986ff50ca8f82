// SPDX-License-Identifier: MIT
// The run over every file a command names: its paths, the lists it gives and, with -r, the trees
// under its directories, each file reported as soon as it is read.
#pragma once

#include "tamsik-info/command_line.h"

constexpr int kInfoAllFound = 0, kInfoSomeNotFound = 1, kInfoTrouble = 2;

// Writes the reports to standard output and the messages to standard error; gives the exit status.
int RunInventory(const TInfoCommand& command);
