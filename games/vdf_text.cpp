#include "games/vdf_text.h"

#include <optional>

namespace grelm {

namespace {

struct Token {
    enum class Kind { Text, Open, Close };
    Kind kind;
    QByteArray text;
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char unescaped(char c)
{
    switch (c) {
    case 'n':
        return '\n';
    case 't':
        return '\t';
    default:
        return c;
    }
}

// Splits the text into quoted or bare words and braces; nothing at the end
// of the text or where a quoted word is never closed.
class Tokens {
public:
    explicit Tokens(const QByteArray &text) : m_text(text) {}

    std::optional<Token> next()
    {
        for (;;) {
            skipSpaceAndComments();
            if (m_pos >= m_text.size())
                return std::nullopt;
            const char c = m_text[m_pos];
            if (c == '{' || c == '}') {
                ++m_pos;
                return Token{c == '{' ? Token::Kind::Open : Token::Kind::Close, {}};
            }
            if (c == '"')
                return quoted();
            Token word{Token::Kind::Text, bare()};
            if (!(word.text.startsWith("[$") || word.text.startsWith("[!$")))
                return word;
        }
    }

private:
    void skipSpaceAndComments()
    {
        while (m_pos < m_text.size()) {
            if (isSpace(m_text[m_pos])) {
                ++m_pos;
            } else if (m_text.mid(m_pos, 2) == "//") {
                const qsizetype end = m_text.indexOf('\n', m_pos);
                m_pos = end < 0 ? m_text.size() : end + 1;
            } else {
                return;
            }
        }
    }

    std::optional<Token> quoted()
    {
        QByteArray text;
        for (++m_pos; m_pos < m_text.size(); ++m_pos) {
            char c = m_text[m_pos];
            if (c == '"') {
                ++m_pos;
                return Token{Token::Kind::Text, text};
            }
            if (c == '\\' && m_pos + 1 < m_text.size())
                c = unescaped(m_text[++m_pos]);
            text += c;
        }
        return std::nullopt;
    }

    QByteArray bare()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && !isSpace(m_text[m_pos]) && m_text[m_pos] != '{' && m_text[m_pos] != '}'
               && m_text[m_pos] != '"')
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    const QByteArray &m_text;
    qsizetype m_pos = 0;
};

// Reads entries into blocks until the text ends or is found damaged, after
// which nothing more is read.
class Parser {
public:
    explicit Parser(const QByteArray &text) : m_tokens(text) {}

    // Reads the entries of one block up to its closing brace (or the end).
    void readBlock(std::vector<VdfEntry> &entries, int depth)
    {
        while (!m_stopped) {
            std::optional<Token> key = m_tokens.next();
            if (!key || key->kind != Token::Kind::Text) {
                // A closing brace ends this block; at the top level it, an
                // opening brace without a key, or the end stops the reading.
                m_stopped = !key || depth == 0 || key->kind == Token::Kind::Open;
                return;
            }
            readValue(key->text, entries, depth);
        }
    }

private:
    void readValue(const QByteArray &key, std::vector<VdfEntry> &entries, int depth)
    {
        std::optional<Token> value = m_tokens.next();
        if (!value || value->kind == Token::Kind::Close) {
            m_stopped = true;
            return;
        }
        VdfEntry entry{key, {}, {}, value->kind == Token::Kind::Open};
        if (!entry.isBlock) {
            entry.value = value->text;
        } else if (depth + 1 >= kVdfMaxDepth) {
            m_stopped = true;
            return;
        } else {
            readBlock(entry.children, depth + 1);
        }
        entries.push_back(std::move(entry));
    }

    Tokens m_tokens;
    bool m_stopped = false;
};

} // namespace

std::vector<VdfEntry> readVdf(const QByteArray &text)
{
    std::vector<VdfEntry> entries;
    Parser(text).readBlock(entries, 0);
    return entries;
}

} // namespace grelm
