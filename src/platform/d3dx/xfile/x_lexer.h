// Tokens of a .x body, text or binary, as one stream. Binary integer and float
// lists come out one element at a time, so the reader above sees the same
// tokens for both encodings; separators (',' ';') are tokens of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/d3dx/xfile/x_container.h"
#include "platform/types.h"

namespace xfile {

enum class TokenKind : uint8_t {
    End,
    Name,
    String,
    Integer,  // also usable where a float is expected
    Float,
    Guid,
    OpenBrace,
    CloseBrace,
    OpenBracket,
    CloseBracket,
    OpenParen,
    CloseParen,
    OpenAngle,
    CloseAngle,
    Dot,
    Comma,
    Semicolon,
    Template,     // "template" (any case in text)
    TypeKeyword,  // a binary member type: WORD, DWORD, FLOAT, ..., array
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;  // Name and String: the raw bytes
    uint32_t integer = 0;   // Integer
    double real = 0;        // Integer and Float
    platform::Guid guid;    // Guid
    size_t offset = 0;      // where the token starts in the body
};

class Lexer {
public:
    // Reads `body` from `offset`, which must be a token boundary. Every token
    // read takes one unit from `*budget`; none left is an error, so that no
    // input can keep the reader busy for long.
    Lexer(const Body& body, size_t offset, size_t* budget);

    // The next token, or false on malformed input (see error()). At the end
    // of the body the token is End, again and again.
    bool next(Token& token);
    // The next token without taking it.
    bool peek(Token& token);

    const std::string& error() const { return error_; }
    // Bytes of the body not yet read: an upper bound on what can still come.
    size_t remaining() const { return bytes_.size() - position_; }

private:
    bool read(Token& token);
    bool readText(Token& token);
    void skipSpacesAndComments();
    bool readTextGuid(Token& token);
    bool readTextString(Token& token);
    bool readWord(Token& token);
    bool readBinary(Token& token);
    bool readBinaryOnce(Token& token);
    bool readBinaryData(uint16_t code, Token& token);
    void readListElement(Token& token);
    bool fail(const char* message);

    std::string_view bytes_;
    bool binary_;
    bool doubleFloats_;
    size_t position_;
    size_t* budget_;
    // A binary integer or float list being handed out element by element.
    uint32_t listLeft_ = 0;
    bool listIsFloat_ = false;
    bool havePeeked_ = false;
    Token peeked_;
    std::string error_;
};

}  // namespace xfile
