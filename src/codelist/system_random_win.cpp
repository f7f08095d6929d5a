#include "codelist/system_random_win.h"

#include <windows.h>
#include <bcrypt.h>

#include <limits>

namespace codeeingabe {
namespace {

class BCryptRandom : public RandomSource {
public:
    bool Fill(std::span<std::uint8_t> bytes) override {
        if (bytes.size() > std::numeric_limits<ULONG>::max()) return false;
        return BCRYPT_SUCCESS(
            BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
    }
};

class LocalTimeOfDay : public TimeOfDay {
public:
    float SecondsSinceMidnight() override {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return static_cast<float>(now.wHour * 3600 + now.wMinute * 60 + now.wSecond) +
               static_cast<float>(now.wMilliseconds) / 1000.0f;
    }
};

}  // namespace

RandomSource& SystemRandomSource() {
    static BCryptRandom source;
    return source;
}

TimeOfDay& SystemTimeOfDay() {
    static LocalTimeOfDay clock;
    return clock;
}

}  // namespace codeeingabe
