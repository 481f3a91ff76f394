#pragma once
// The maker's addresses, in one place.

// The maker's home page (a default task).
inline constexpr char16_t kMakerHomePage[] = u"https://brellow.example/";
// The product page that F1 opens.
inline constexpr char16_t kProductPage[] = u"https://brellow.example/zembro";
inline constexpr char16_t kSupportEmail[] = u"support@brellow.example";
