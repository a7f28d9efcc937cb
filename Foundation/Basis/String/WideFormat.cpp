#include "Foundation/Basis/String/WideFormat.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

// Widths and precisions beyond this change nothing that fits the output
// (the string classes keep at most 2047 units), and keeping them small
// keeps every count and allocation small.
constexpr int i_MaxField = 4096;

enum et_Length { e_Default, e_Char, e_Short, e_Long, e_LongLong, e_Int32, e_Int64, e_Size, e_Max, e_LongDouble };

struct st_Field {
    bool b_Left = false;
    bool b_Plus = false;
    bool b_Space = false;
    bool b_Alternate = false;
    bool b_Zero = false;
    int i_Width = 0;
    int i_Precision = -1;  // none
    et_Length e_Length = e_Default;
};

// The output area: keeps what fits and drops the rest.
struct st_Sink {
    unsigned short* pu_Target;
    unsigned n_Used;
    unsigned n_Limit;

    void v_Put(unsigned short u) {
        if (n_Used < n_Limit) pu_Target[n_Used++] = u;
    }
    void v_Repeat(unsigned short u, int count) {
        for (; count > 0 && n_Used < n_Limit; --count) pu_Target[n_Used++] = u;
    }
};

bool b_IsDigit(unsigned short u) { return u >= '0' && u <= '9'; }

int i_ReadNumber(unsigned short const*& p) {
    int value = 0;
    while (b_IsDigit(*p)) {
        if (value < i_MaxField) value = value * 10 + (*p - '0');
        ++p;
    }
    return value < i_MaxField ? value : i_MaxField;
}

// Text padded to the width: right-aligned unless the - flag is given.
template <class T>
void v_PutText(st_Sink& sink, st_Field const& field, T const* text, bool widen) {
    static char const acz_Null[] = "(null)";
    unsigned length = 0;
    unsigned limit = field.i_Precision >= 0 ? static_cast<unsigned>(field.i_Precision) : ~0u;
    if (text == nullptr) {
        char const* null = acz_Null;
        while (length < limit && null[length]) ++length;
        int pad = field.i_Width - static_cast<int>(length);
        if (!field.b_Left) sink.v_Repeat(' ', pad);
        for (unsigned i = 0; i < length; ++i) sink.v_Put(static_cast<unsigned char>(null[i]));
        if (field.b_Left) sink.v_Repeat(' ', pad);
        return;
    }
    while (length < limit && text[length]) ++length;
    int pad = field.i_Width - static_cast<int>(length);
    if (!field.b_Left) sink.v_Repeat(' ', pad);
    for (unsigned i = 0; i < length; ++i)
        sink.v_Put(widen ? static_cast<unsigned char>(text[i]) : static_cast<unsigned short>(text[i]));
    if (field.b_Left) sink.v_Repeat(' ', pad);
}

void v_PutChar(st_Sink& sink, st_Field const& field, unsigned short u) {
    if (!field.b_Left) sink.v_Repeat(' ', field.i_Width - 1);
    sink.v_Put(u);
    if (field.b_Left) sink.v_Repeat(' ', field.i_Width - 1);
}

// An integer by the C rules: precision is the least number of digits (a
// zero with precision 0 has none); the 0 flag pads with zeros after the
// sign and prefix unless a precision or the - flag is given; # gives octal
// a leading zero and non-zero hex a 0x or 0X prefix.
void v_PutInteger(st_Sink& sink, st_Field const& field, unsigned long long magnitude, bool negative, bool isSigned,
                  unsigned base, bool upper) {
    char digits[24];
    int count = 0;
    char const* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    if (!(field.i_Precision == 0 && magnitude == 0)) {
        do {
            digits[count++] = alphabet[magnitude % base];
            magnitude /= base;
        } while (magnitude != 0);
    }
    bool zeroValue = count == 0 || (count == 1 && digits[0] == '0');
    int zeros = field.i_Precision > count ? field.i_Precision - count : 0;
    if (field.b_Alternate && base == 8 && zeros == 0 && (count == 0 || digits[count - 1] != '0')) zeros = 1;
    char sign = 0;
    if (isSigned) sign = negative ? '-' : field.b_Plus ? '+' : field.b_Space ? ' ' : 0;
    char const* prefix = "";
    if (field.b_Alternate && base == 16 && !zeroValue) prefix = upper ? "0X" : "0x";
    int prefixLength = prefix[0] ? 2 : 0;
    int pad = field.i_Width - (sign ? 1 : 0) - prefixLength - zeros - count;
    if (!field.b_Left && field.b_Zero && field.i_Precision < 0 && pad > 0) {
        zeros += pad;
        pad = 0;
    }
    if (!field.b_Left) sink.v_Repeat(' ', pad);
    if (sign) sink.v_Put(static_cast<unsigned short>(sign));
    for (int i = 0; i < prefixLength; ++i) sink.v_Put(static_cast<unsigned short>(prefix[i]));
    sink.v_Repeat('0', zeros);
    while (count > 0) sink.v_Put(static_cast<unsigned short>(digits[--count]));
    if (field.b_Left) sink.v_Repeat(' ', pad);
}

// Floating point goes to the platform's C library with the same flags,
// width and precision; its digits are ASCII, widened unit by unit.
template <class F>
void v_PutFloat(st_Sink& sink, st_Field const& field, unsigned short conversion, F value) {
    char format[16];
    int n = 0;
    format[n++] = '%';
    if (field.b_Left) format[n++] = '-';
    if (field.b_Plus) format[n++] = '+';
    if (field.b_Space) format[n++] = ' ';
    if (field.b_Alternate) format[n++] = '#';
    if (field.b_Zero) format[n++] = '0';
    format[n++] = '*';
    format[n++] = '.';
    format[n++] = '*';
    if (sizeof(F) != sizeof(double)) format[n++] = 'L';
    format[n++] = static_cast<char>(conversion);
    format[n] = 0;
    char local[128];
    char* text = local;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int length = std::snprintf(local, sizeof local, format, field.i_Width, field.i_Precision, value);
    if (length >= static_cast<int>(sizeof local)) {
        text = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1));
        if (text == nullptr) throw std::bad_alloc();
        std::snprintf(text, static_cast<std::size_t>(length) + 1, format, field.i_Width, field.i_Precision, value);
    }
#pragma GCC diagnostic pop
    for (int i = 0; i < length; ++i) sink.v_Put(static_cast<unsigned char>(text[i]));
    if (text != local) std::free(text);
}

// Reads a length modifier, if there is one.
void v_ReadLength(unsigned short const*& p, st_Field& field) {
    switch (*p) {
        case 'h':
            ++p;
            if (*p == 'h') {
                ++p;
                field.e_Length = e_Char;
            } else {
                field.e_Length = e_Short;
            }
            return;
        case 'l':
            ++p;
            if (*p == 'l') {
                ++p;
                field.e_Length = e_LongLong;
            } else {
                field.e_Length = e_Long;
            }
            return;
        case 'w':
            ++p;
            field.e_Length = e_Long;
            return;
        case 'q':
            ++p;
            field.e_Length = e_LongLong;
            return;
        case 'L':
            ++p;
            field.e_Length = e_LongDouble;
            return;
        case 'z':
        case 't':
            ++p;
            field.e_Length = e_Size;
            return;
        case 'j':
            ++p;
            field.e_Length = e_Max;
            return;
        case 'I':
            ++p;
            if (p[0] == '6' && p[1] == '4') {
                p += 2;
                field.e_Length = e_Int64;
            } else if (p[0] == '3' && p[1] == '2') {
                p += 2;
                field.e_Length = e_Int32;
            } else {
                field.e_Length = e_Size;
            }
            return;
        default:
            return;
    }
}

}  // namespace

namespace WideFormat {

unsigned sn_Format(unsigned short* target, unsigned capacity, unsigned short const* format, va_list args) {
    st_Sink sink{target, 0, capacity ? capacity - 1 : 0};
    if (capacity == 0) return 0;
    if (format == nullptr) {
        target[0] = 0;
        return 0;
    }
    va_list ap;
    va_copy(ap, args);
    unsigned short const* p = format;
    while (*p) {
        if (*p != '%') {
            sink.v_Put(*p++);
            continue;
        }
        unsigned short const* start = p++;
        st_Field field;
        for (;; ++p) {
            if (*p == '-') field.b_Left = true;
            else if (*p == '+') field.b_Plus = true;
            else if (*p == ' ') field.b_Space = true;
            else if (*p == '#') field.b_Alternate = true;
            else if (*p == '0') field.b_Zero = true;
            else break;
        }
        if (*p == '*') {
            ++p;
            int width = va_arg(ap, int);
            if (width < 0) {
                field.b_Left = true;
                width = width == INT_MIN ? i_MaxField : -width;
            }
            field.i_Width = width < i_MaxField ? width : i_MaxField;
        } else {
            field.i_Width = i_ReadNumber(p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                ++p;
                int precision = va_arg(ap, int);
                field.i_Precision = precision < 0 ? -1 : precision < i_MaxField ? precision : i_MaxField;
            } else {
                field.i_Precision = i_ReadNumber(p);
            }
        }
        v_ReadLength(p, field);
        unsigned short conversion = *p;
        if (conversion == 0) {
            // The format ends inside a conversion: copy what there is.
            for (unsigned short const* q = start; q < p; ++q) sink.v_Put(*q);
            break;
        }
        ++p;
        switch (conversion) {
            case 'd':
            case 'i': {
                long long value;
                switch (field.e_Length) {
                    case e_Char: value = static_cast<signed char>(va_arg(ap, int)); break;
                    case e_Short: value = static_cast<short>(va_arg(ap, int)); break;
                    case e_Long: value = va_arg(ap, long); break;
                    case e_LongLong:
                    case e_Int64: value = va_arg(ap, long long); break;
                    case e_Int32: value = va_arg(ap, std::int32_t); break;
                    case e_Size: value = va_arg(ap, std::ptrdiff_t); break;
                    case e_Max: value = static_cast<long long>(va_arg(ap, std::intmax_t)); break;
                    default: value = va_arg(ap, int); break;
                }
                bool negative = value < 0;
                unsigned long long magnitude =
                    negative ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
                v_PutInteger(sink, field, magnitude, negative, true, 10, false);
                break;
            }
            case 'u':
            case 'o':
            case 'x':
            case 'X': {
                unsigned long long value;
                switch (field.e_Length) {
                    case e_Char: value = static_cast<unsigned char>(va_arg(ap, unsigned)); break;
                    case e_Short: value = static_cast<unsigned short>(va_arg(ap, unsigned)); break;
                    case e_Long: value = va_arg(ap, unsigned long); break;
                    case e_LongLong:
                    case e_Int64: value = va_arg(ap, unsigned long long); break;
                    case e_Int32: value = va_arg(ap, std::uint32_t); break;
                    case e_Size: value = va_arg(ap, std::size_t); break;
                    case e_Max: value = static_cast<unsigned long long>(va_arg(ap, std::uintmax_t)); break;
                    default: value = va_arg(ap, unsigned); break;
                }
                unsigned base = conversion == 'u' ? 10 : conversion == 'o' ? 8 : 16;
                v_PutInteger(sink, field, value, false, false, base, conversion == 'X');
                break;
            }
            case 'p': {
                // The home platform's form: every digit of the address, upper case.
                void* pointer = va_arg(ap, void*);
                st_Field digits = field;
                digits.i_Precision = static_cast<int>(sizeof(void*) * 2);
                digits.b_Alternate = digits.b_Zero = false;
                v_PutInteger(sink, digits, reinterpret_cast<std::uintptr_t>(pointer), false, false, 16, true);
                break;
            }
            case 'c':
            case 'C': {
                int value = va_arg(ap, int);
                bool narrow = field.e_Length == e_Short || (conversion == 'C' && field.e_Length != e_Long);
                v_PutChar(sink, field,
                          narrow ? static_cast<unsigned char>(value) : static_cast<unsigned short>(value));
                break;
            }
            case 's':
            case 'S': {
                bool narrow = field.e_Length == e_Short || (conversion == 'S' && field.e_Length != e_Long);
                if (narrow) v_PutText(sink, field, va_arg(ap, char const*), true);
                else v_PutText(sink, field, va_arg(ap, unsigned short const*), false);
                break;
            }
            case 'e':
            case 'E':
            case 'f':
            case 'F':
            case 'g':
            case 'G':
            case 'a':
            case 'A':
                if (field.e_Length == e_LongDouble) v_PutFloat(sink, field, conversion, va_arg(ap, long double));
                else v_PutFloat(sink, field, conversion, va_arg(ap, double));
                break;
            case 'n':
                (void)va_arg(ap, void*);
                break;
            case '%':
                sink.v_Put('%');
                break;
            default:
                for (unsigned short const* q = start; q < p; ++q) sink.v_Put(*q);
                break;
        }
    }
    va_end(ap);
    target[sink.n_Used] = 0;
    return sink.n_Used;
}

}  // namespace WideFormat
