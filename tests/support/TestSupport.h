#pragma once
// Shared fixtures of the test programs.
