// The floors the bench times each registry-reading gatherer's Update beside:
// the OS calls that fetch the same facts, made directly in the order the
// gatherer needs them.
#pragma once
#include <string>

// Makes a floor's calls; returns how many it made.
using FloorFn = long (*)();

// The floor of the gatherer of that name, or null when it has none.
FloorFn FloorOf(const std::string& gatherer);
