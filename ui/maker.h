// Who makes Quaddle, as the windows show it. The one place for these values:
// the main window's caption and the About window's links both read them here.
#pragma once

namespace maker {

inline constexpr char name[] = "Veltaro";
inline constexpr char webAddress[] = "www.veltaro.example";
inline constexpr char emailAddress[] = "support@veltaro.example";
inline constexpr char qqNumber[] = "00000000";

} // namespace maker
