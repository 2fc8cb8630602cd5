// The engine's only way to the operating system. Every call keeps the
// signature and the meaning of the Win32 function of the same name, so the
// engine reads like plain Win32 code; tests wrap one Platform in another to
// make a chosen call fail while the rest run for real. The calls are listed
// in PlatformCalls.h.
#pragma once

#include <windows.h>

#include "platform/PlatformCalls.h"

class Platform {
 public:
  virtual ~Platform() {}

#define PLATFORM_DECLARE_CALL(result, name, parameters, arguments) \
  virtual result name parameters = 0;
  PLATFORM_CALLS(PLATFORM_DECLARE_CALL)
#undef PLATFORM_DECLARE_CALL
};

// Forwards every call to Windows.
class Win32Platform : public Platform {
 public:
#define PLATFORM_DECLARE_CALL(result, name, parameters, arguments) result name parameters override;
  PLATFORM_CALLS(PLATFORM_DECLARE_CALL)
#undef PLATFORM_DECLARE_CALL
};
