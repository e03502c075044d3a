#include "platform/d3dx/xfile/x_lexer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/text.h"

namespace xfile {
namespace {

// Binary token numbers.
enum : uint16_t {
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kOpenParen = 12,
    kCloseParen = 13,
    kOpenBracket = 14,
    kCloseBracket = 15,
    kOpenAngle = 16,
    kCloseAngle = 17,
    kDot = 18,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
    kFirstType = 40,  // WORD
    kLastType = 52,   // array
};

bool isSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0' || c == '\v' || c == '\f';
}

bool isOperator(unsigned char c) {
    return c == '{' || c == '}' || c == '[' || c == ']' || c == '(' || c == ')' || c == ',' ||
           c == ';' || c == '<' || c == '>' || c == '"';
}

bool isNameChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c >= 0x80;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "<XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX>", brackets included.
bool parseGuid(std::string_view text, platform::Guid& guid) {
    if (text.size() != 38 || text.front() != '<' || text.back() != '>') return false;
    uint8_t bytes[16];
    size_t byte = 0;
    for (size_t i = 1; i < 37;) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (text[i] != '-') return false;
            ++i;
            continue;
        }
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[byte++] = static_cast<uint8_t>(high * 16 + low);
        i += 2;
    }
    guid.data1 = (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
                 (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
    guid.data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
    guid.data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
    std::memcpy(guid.data4, bytes + 8, 8);
    return true;
}

// A word of digits only: an integer, false beyond 32 bits.
bool parseInteger(std::string_view word, uint32_t& integer) {
    const char* last = word.data() + word.size();
    uint64_t value = 0;
    const auto [ptr, ec] = std::from_chars(word.data(), last, value);
    if (ec != std::errc() || ptr != last || value > std::numeric_limits<uint32_t>::max()) {
        return false;
    }
    integer = static_cast<uint32_t>(value);
    return true;
}

// A word that reads whole as a number, with an optional leading '+'.
bool parseFloat(std::string_view word, double& real) {
    const char* numberStart = word.data();
    const char* last = word.data() + word.size();
    if (numberStart < last && *numberStart == '+') ++numberStart;
    if (numberStart >= last || !(*numberStart == '-' || *numberStart == '.' ||
                                 (*numberStart >= '0' && *numberStart <= '9'))) {
        return false;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(numberStart, last, value);
    if (ptr != last || (ec != std::errc() && ec != std::errc::result_out_of_range)) return false;
    if (ec == std::errc::result_out_of_range) {
        // Too large comes out as infinity, too small as zero.
        const bool negative = *numberStart == '-';
        const size_t exponent = word.find_first_of("eE");
        const bool tiny = exponent != std::string_view::npos && exponent + 1 < word.size() &&
                          word[exponent + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        if (negative) value = -value;
    }
    real = value;
    return true;
}

bool isName(std::string_view word) {
    for (size_t i = 0; i < word.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(word[i]);
        if (!isNameChar(ch)) return false;
        if (platform::isCp932LeadByte(ch) && i + 1 < word.size()) ++i;  // its second byte
    }
    return true;
}

// `kind` from the entry of `table` for `key`; false when there is none.
template <class Key, size_t N>
bool lookUp(const std::pair<Key, TokenKind> (&table)[N], Key key, TokenKind& kind) {
    for (const auto& [entryKey, entryKind] : table) {
        if (entryKey == key) {
            kind = entryKind;
            return true;
        }
    }
    return false;
}

// The text tokens of one character.
bool punctuationKind(char c, TokenKind& kind) {
    constexpr std::pair<char, TokenKind> kPunctuation[] = {
        {'{', TokenKind::OpenBrace},    {'}', TokenKind::CloseBrace}, {'[', TokenKind::OpenBracket},
        {']', TokenKind::CloseBracket}, {'(', TokenKind::OpenParen},  {')', TokenKind::CloseParen},
        {',', TokenKind::Comma},        {';', TokenKind::Semicolon},  {'>', TokenKind::CloseAngle},
    };
    return lookUp(kPunctuation, c, kind);
}

// The binary tokens that are a code alone.
bool bareKind(uint16_t code, TokenKind& kind) {
    constexpr std::pair<uint16_t, TokenKind> kBare[] = {
        {kOpenBrace, TokenKind::OpenBrace},
        {kCloseBrace, TokenKind::CloseBrace},
        {kOpenParen, TokenKind::OpenParen},
        {kCloseParen, TokenKind::CloseParen},
        {kOpenBracket, TokenKind::OpenBracket},
        {kCloseBracket, TokenKind::CloseBracket},
        {kOpenAngle, TokenKind::OpenAngle},
        {kCloseAngle, TokenKind::CloseAngle},
        {kDot, TokenKind::Dot},
        {kComma, TokenKind::Comma},
        {kSemicolon, TokenKind::Semicolon},
        {kTemplate, TokenKind::Template},
    };
    if (lookUp(kBare, code, kind)) return true;
    if (code < kFirstType || code > kLastType) return false;
    kind = TokenKind::TypeKeyword;
    return true;
}

uint16_t u16(std::string_view bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

uint32_t u32(std::string_view bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    }
    return value;
}

uint64_t u64(std::string_view bytes, size_t at) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    }
    return value;
}

}  // namespace

Lexer::Lexer(const Body& body, size_t offset, size_t* budget)
    : bytes_(reinterpret_cast<const char*>(body.bytes.data()), body.bytes.size()),
      binary_(body.binary),
      doubleFloats_(body.doubleFloats),
      position_(offset <= body.bytes.size() ? offset : body.bytes.size()),
      budget_(budget) {}

bool Lexer::fail(const char* message) {
    if (error_.empty()) error_ = message;
    return false;
}

bool Lexer::next(Token& token) {
    if (havePeeked_) {
        havePeeked_ = false;
        token = peeked_;
        return true;
    }
    return read(token);
}

bool Lexer::peek(Token& token) {
    if (!havePeeked_) {
        if (!read(peeked_)) return false;
        havePeeked_ = true;
    }
    token = peeked_;
    return true;
}

bool Lexer::read(Token& token) {
    if (!error_.empty()) return false;
    if (*budget_ == 0) return fail("the file takes too long to read");
    --*budget_;
    token = Token{};
    return binary_ ? readBinary(token) : readText(token);
}

// Spaces and comments ("#" or "//" to the end of the line).
void Lexer::skipSpacesAndComments() {
    while (position_ < bytes_.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes_[position_]);
        if (isSpace(c)) {
            ++position_;
        } else if (c == '#' ||
                   (c == '/' && position_ + 1 < bytes_.size() && bytes_[position_ + 1] == '/')) {
            const size_t end = bytes_.find('\n', position_);
            position_ = end == std::string_view::npos ? bytes_.size() : end + 1;
        } else {
            break;
        }
    }
}

bool Lexer::readText(Token& token) {
    skipSpacesAndComments();
    token.offset = position_;
    if (position_ >= bytes_.size()) {
        token.kind = TokenKind::End;
        return true;
    }
    const char c = bytes_[position_];
    if (punctuationKind(c, token.kind)) {
        ++position_;
        return true;
    }
    if (c == '<') return readTextGuid(token);
    if (c == '"') return readTextString(token);
    if (c == '.' && (position_ + 1 >= bytes_.size() || bytes_[position_ + 1] < '0' ||
                     bytes_[position_ + 1] > '9')) {
        token.kind = TokenKind::Dot;
        ++position_;
        return true;
    }
    return readWord(token);
}

bool Lexer::readTextGuid(Token& token) {
    const size_t end = bytes_.find('>', position_);
    if (end == std::string_view::npos || end - position_ > 40 ||
        !parseGuid(bytes_.substr(position_, end + 1 - position_), token.guid)) {
        return fail("malformed GUID");
    }
    token.kind = TokenKind::Guid;
    position_ = end + 1;
    return true;
}

bool Lexer::readTextString(Token& token) {
    const size_t end = bytes_.find('"', position_ + 1);
    if (end == std::string_view::npos) return fail("unterminated string");
    token.kind = TokenKind::String;
    token.text = bytes_.substr(position_ + 1, end - position_ - 1);
    position_ = end + 1;
    return true;
}

// A word: a number or a name.
bool Lexer::readWord(Token& token) {
    size_t end = position_;
    while (end < bytes_.size() && !isSpace(static_cast<unsigned char>(bytes_[end])) &&
           !isOperator(static_cast<unsigned char>(bytes_[end]))) {
        const bool pair = platform::isCp932LeadByte(static_cast<unsigned char>(bytes_[end])) &&
                          end + 1 < bytes_.size() &&
                          static_cast<unsigned char>(bytes_[end + 1]) >= 0x40;
        end += pair ? 2 : 1;
    }
    const std::string_view word = bytes_.substr(position_, end - position_);
    position_ = end;

    if (word.find_first_not_of("0123456789") == std::string_view::npos) {
        if (!parseInteger(word, token.integer)) return fail("integer out of range");
        token.kind = TokenKind::Integer;
        token.real = static_cast<double>(token.integer);
        return true;
    }
    if (parseFloat(word, token.real)) {
        token.kind = TokenKind::Float;
        return true;
    }
    if (!isName(word)) return fail("unexpected character");
    if (platform::equalsIgnoringAsciiCase(word, "template")) {
        token.kind = TokenKind::Template;
        return true;
    }
    token.kind = TokenKind::Name;
    token.text = word;
    return true;
}

bool Lexer::readBinary(Token& token) {
    // An empty list says nothing: go on to the token after it.
    // readBinaryOnce is false without an error when it has only read a list
    // header; the list's first element, if any, comes next.
    for (;;) {
        if (readBinaryOnce(token)) return true;
        if (!error_.empty()) return false;
    }
}

// The next element of the integer or float list being handed out.
void Lexer::readListElement(Token& token) {
    --listLeft_;
    if (!listIsFloat_) {
        token.kind = TokenKind::Integer;
        token.integer = u32(bytes_, position_);
        token.real = token.integer;
        position_ += 4;
        return;
    }
    token.kind = TokenKind::Float;
    if (doubleFloats_) {
        const uint64_t bits = u64(bytes_, position_);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        token.real = value;
        position_ += 8;
    } else {
        const uint32_t bits = u32(bytes_, position_);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        token.real = value;
        position_ += 4;
    }
}

bool Lexer::readBinaryOnce(Token& token) {
    token.offset = position_;
    if (listLeft_ > 0) {
        readListElement(token);
        return true;
    }
    if (position_ >= bytes_.size()) {
        token.kind = TokenKind::End;
        return true;
    }
    if (bytes_.size() - position_ < 2) return fail("truncated token");
    const uint16_t code = u16(bytes_, position_);
    position_ += 2;
    if (bareKind(code, token.kind)) return true;
    return readBinaryData(code, token);
}

// A token with data after its code: a name, a string, an integer, a GUID, or
// the header of a list (false, without an error).
bool Lexer::readBinaryData(uint16_t code, Token& token) {
    const size_t left = bytes_.size() - position_;
    switch (code) {
        case kName:
        case kString: {
            if (left < 4) return fail("truncated name");
            const uint32_t count = u32(bytes_, position_);
            if (count > left - 4) return fail("truncated name");
            token.kind = code == kName ? TokenKind::Name : TokenKind::String;
            token.text = bytes_.substr(position_ + 4, count);
            position_ += 4 + count;
            return true;
        }
        case kInteger:
            if (left < 4) return fail("truncated integer");
            token.kind = TokenKind::Integer;
            token.integer = u32(bytes_, position_);
            token.real = token.integer;
            position_ += 4;
            return true;
        case kGuid:
            if (left < 16) return fail("truncated GUID");
            token.kind = TokenKind::Guid;
            token.guid.data1 = u32(bytes_, position_);
            token.guid.data2 = u16(bytes_, position_ + 4);
            token.guid.data3 = u16(bytes_, position_ + 6);
            std::memcpy(token.guid.data4, bytes_.data() + position_ + 8, 8);
            position_ += 16;
            return true;
        case kIntegerList:
        case kFloatList: {
            if (left < 4) return fail("truncated list");
            const uint32_t count = u32(bytes_, position_);
            const size_t elementSize = code == kFloatList && doubleFloats_ ? 8 : 4;
            if (count > (left - 4) / elementSize) return fail("truncated list");
            position_ += 4;
            listLeft_ = count;
            listIsFloat_ = code == kFloatList;
            return false;  // the elements follow: see readBinary
        }
        default:
            return fail("unknown binary token");
    }
}

}  // namespace xfile
