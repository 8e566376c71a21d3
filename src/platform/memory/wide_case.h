#pragma once
// The case mapping moved to the core, which matches file names against patterns too.
#include "platform/wide_case.h"
