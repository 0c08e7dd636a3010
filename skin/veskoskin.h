#pragma once

// The two entry points of the skinning library. Call them on the thread that runs the
// QApplication; they change nothing and return non-zero when they cannot do their part.
#include <QtGlobal>
#include <cstdint>

#if defined(VESKOSKIN_LIBRARY)
#define VESKOSKIN_EXPORT Q_DECL_EXPORT
#else
#define VESKOSKIN_EXPORT Q_DECL_IMPORT
#endif

extern "C" {

// Restyles every window of the running application with the skin file at `skinPath`
// (an 8-bit string in the local encoding). `second` is reserved: pass "". A missing,
// truncated or corrupt skin file leaves the look as it is.
VESKOSKIN_EXPORT std::int32_t SkinH_AttachEx(const char *skinPath, const char *second);

// Adds a soft shadow under the push buttons of the window with this native handle.
VESKOSKIN_EXPORT std::int32_t SkinH_SetAero(std::int32_t windowHandle);
}
