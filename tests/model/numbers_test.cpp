// Numbers must convert as the C library's "%d" and "%f" do for well-formed text.
#include "model/glm_scan.h"

#include "model_test_support.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

using glm_detail::scanFloatAt;
using glm_detail::scanIntAt;

void expectSameAsScanf(const std::string& text) {
    float expected = 0.0f;
    int n = std::sscanf(text.c_str(), "%f", &expected);
    ASSERT_EQ(n, 1) << "not well-formed: " << text;
    auto actual = scanFloatAt(text.data(), text.data() + text.size());
    ASSERT_EQ(actual.length, text.size()) << text;
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual.value)) << text;
        EXPECT_EQ(std::signbit(expected), std::signbit(actual.value)) << text;
        return;
    }
    std::uint32_t e = 0, a = 0;
    std::memcpy(&e, &expected, 4);
    std::memcpy(&a, &actual.value, 4);
    EXPECT_EQ(a, e) << text << ": scanf " << expected << ", ours " << actual.value;
}

TEST(Numbers, FloatsRoundAsScanf) {
    for (const char* text : {"0",
                             "-0",
                             "+0",
                             "1",
                             "+1.5",
                             "-2.25",
                             "3.",
                             ".5",
                             "-.5",
                             "1e3",
                             "1E-3",
                             "+1e+3",
                             "0.1",
                             "0.30000001",
                             "3.4028235e38",
                             "3.4028236e38",
                             "1e40",
                             "-1e40",
                             "1e-45",
                             "1e-46",
                             "-1e-50",
                             "7.0064923e-46",
                             "1.17549435e-38",
                             "16777217",
                             "16777219",
                             "0.000000000000000000000000000000000000000000001",
                             "inf",
                             "-INF",
                             "infinity",
                             "+Infinity",
                             "nan",
                             "-nan",
                             "NaN",
                             "nan(123)",
                             "0x1p3",
                             "-0x1.8p1",
                             "0X.8",
                             "0x1p200",
                             "0x1p-200",
                             "123456789012345678901234567890",
                             "2.5000000000000000000000000000001e-1",
                             "1.00000005960464477539062500000000000001",
                             "1.000000059604644775390625"}) {
        expectSameAsScanf(text);
    }
}

TEST(Numbers, RandomDecimalsRoundAsScanf) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> digit(0, 9), length(1, 20), exponent(-50, 45);
    for (int i = 0; i < 20000; ++i) {
        std::string text = (random() & 1) ? "-" : "";
        int n = length(random);
        int point = static_cast<int>(random() % (n + 1));
        for (int k = 0; k < n; ++k) {
            if (k == point) {
                text += '.';
            }
            text += static_cast<char>('0' + digit(random));
        }
        if (random() & 1) {
            text += "e" + std::to_string(exponent(random));
        }
        expectSameAsScanf(text);
        if (HasFailure()) {
            return;
        }
    }
}

TEST(Numbers, FloatTextThatFormsNoNumberIsNotConsumed) {
    for (const char* text : {"", "x", "+", "-", "+-1", "--1", ".", "e5", "/1"}) {
        auto r = scanFloatAt(text, text + std::strlen(text));
        EXPECT_EQ(r.length, 0u) << text;
    }
    // The longest prefix that forms a number.
    std::string partial = "1e+x";
    EXPECT_EQ(scanFloatAt(partial.data(), partial.data() + partial.size()).length, 1u);
    std::string hexless = "0xg";
    EXPECT_EQ(scanFloatAt(hexless.data(), hexless.data() + hexless.size()).length, 1u);
}

TEST(Numbers, IntegersReadSignAndDigits) {
    struct Case {
        const char* text;
        std::size_t length;
        std::int64_t value;
    } cases[] = {{"12", 2, 12}, {"+7", 2, 7},  {"-3", 2, -3},
                 {"007", 3, 7}, {"5/6", 1, 5}, {"x", 0, 0},
                 {"-", 0, 0},   {"+-1", 0, 0}, {"4294967297", 10, 4294967297LL}};
    for (const Case& c : cases) {
        auto r = scanIntAt(c.text, c.text + std::strlen(c.text));
        EXPECT_EQ(r.length, c.length) << c.text;
        EXPECT_EQ(r.value, c.value) << c.text;
    }
    std::string huge(400, '9');
    auto r = scanIntAt(huge.data(), huge.data() + huge.size());
    EXPECT_EQ(r.length, 400u);
    EXPECT_EQ(r.value, std::int64_t{1} << 62);
}

TEST(Numbers, DigitRunsEndAtTheFirstNonDigitWhateverTheByte) {
    // Runs of 0 to 17 digits followed by every byte value, with data beyond the run so that
    // whole words are read: the scan must stop exactly where a byte-by-byte scan would.
    for (int digits = 0; digits < 18; ++digits) {
        for (int c = 0; c < 256; ++c) {
            if (c >= '0' && c <= '9') {
                continue;
            }
            std::string text = "7" + std::string(static_cast<std::size_t>(digits), '3') +
                               static_cast<char>(c) + "99999999";
            auto r = scanIntAt(text.data(), text.data() + text.size());
            ASSERT_EQ(r.length, static_cast<std::size_t>(digits) + 1) << digits << " " << c;
        }
    }
    std::string text = "12345678901234567890123";
    EXPECT_EQ(scanIntAt(text.data(), text.data() + 9).value, 123456789);
    EXPECT_EQ(scanIntAt(text.data(), text.data() + 18).value, 123456789012345678);
}

} // namespace
