// The test programs' precompiled headers: the targets' own and GoogleTest.
#pragma once

#include "precompiled.h"

#include <gtest/gtest.h>
