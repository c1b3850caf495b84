#include "Cp950.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <string>

namespace corvane {

namespace {

class Converter {
public:
    Converter() : m_handle(iconv_open("UTF-8", "CP950")) {}
    ~Converter() {
        if (Valid()) {
            iconv_close(m_handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_handle; }

private:
    iconv_t m_handle;
};

// Without the converter the texts still show: everything this program formats is ASCII
// apart from the degree sign.
QString DecodeWithoutConverter(std::string_view text) {
    QString result;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            result += QChar(byte);
        } else if (byte == 0xA2 && i + 1 < text.size() && text[i + 1] == '\x58') {
            result += QChar(0x00B0);
            ++i;
        } else {
            result += QChar(QChar::ReplacementCharacter);
        }
    }
    return result;
}

} // namespace

QString DecodeCp950(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    Converter converter;
    if (!converter.Valid()) {
        return DecodeWithoutConverter(text);
    }

    std::string input(text);
    std::string output(input.size() * 4 + 4, '\0'); // a CP950 character is at most 3 UTF-8 bytes
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    while (inLeft > 0) {
        if (iconv(converter.Handle(), &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        if (errno != EILSEQ && errno != EINVAL) {
            break;
        }
        // Skip one byte of the bad or truncated sequence, as a replacement character.
        static constexpr char kReplacement[] = "\xEF\xBF\xBD";
        if (outLeft < 3) {
            break;
        }
        out = std::copy_n(kReplacement, 3, out);
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    return QString::fromUtf8(output.data(), out - output.data());
}

} // namespace corvane
