#include "core/provision/PlanTable.h"

#include <algorithm>
#include <cstdint>

namespace orvanta::provision {

namespace {

std::string Unguard(std::string cell) {
    if (cell.size() >= 2 && cell[0] == '\'' && std::string_view("=+-@\t\r").find(cell[1]) != std::string_view::npos)
        cell.erase(0, 1);
    return cell;
}

// One CSV record from `pos`; false at the end of the text.
bool NextRecord(std::string_view text, std::size_t& pos, int& line, std::vector<std::string>& cells, std::string& why) {
    cells.clear();
    if (pos >= text.size()) return false;
    std::string cell;
    bool quoted = false, wasQuoted = false;
    const int startLine = line;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (quoted) {
            if (c == '"') {
                if (pos < text.size() && text[pos] == '"') {
                    cell += '"';
                    ++pos;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n') ++line;
                cell += c;
            }
            continue;
        }
        if (c == '"' && cell.empty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == ',') {
            cells.push_back(Unguard(cell));
            cell.clear();
            wasQuoted = false;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
            ++line;
            break;
        } else if (wasQuoted) {
            why = "line " + std::to_string(startLine) + ": text after a closing quote";
            return false;
        } else {
            cell += c;
        }
    }
    if (quoted) {
        why = "line " + std::to_string(startLine) + ": a quote is never closed";
        return false;
    }
    cells.push_back(Unguard(cell));
    return true;
}

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : t_(text) {}

    bool Read(std::vector<PlanTableRow>& rows, std::string& why) {
        Blank();
        if (Peek() == '{') {
            if (!Object(rows, why)) return false;
        } else if (Eat('[')) {
            Blank();
            if (!Eat(']')) {
                do {
                    Blank();
                    if (!Object(rows, why)) return false;
                    Blank();
                } while (Eat(','));
                if (!Eat(']')) return Fail("expected ',' or ']'", why);
            }
        } else {
            return Fail("expected an array of objects", why);
        }
        Blank();
        return pos_ == t_.size() || Fail("text after the plan", why);
    }

private:
    char Peek() const { return pos_ < t_.size() ? t_[pos_] : '\0'; }
    bool Eat(char c) {
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    void Blank() {
        while (pos_ < t_.size() && std::string_view(" \t\r\n").find(t_[pos_]) != std::string_view::npos) ++pos_;
    }
    bool Fail(const std::string& what, std::string& why) const {
        why = "JSON at byte " + std::to_string(pos_) + ": " + what;
        return false;
    }

    bool Object(std::vector<PlanTableRow>& rows, std::string& why) {
        if (!Eat('{')) return Fail("expected an object", why);
        PlanTableRow row;
        row.where = "row " + std::to_string(rows.size() + 1);
        Blank();
        if (!Eat('}')) {
            do {
                Blank();
                std::string key;
                if (!String(key, why)) return false;
                for (const auto& cell : row.cells)
                    if (cell.first == key) return Fail("key \"" + key + "\" given twice", why);
                Blank();
                if (!Eat(':')) return Fail("expected ':'", why);
                Blank();
                std::optional<std::string> value;
                if (!Value(value, why)) return false;
                row.cells.emplace_back(std::move(key), std::move(value));
                Blank();
            } while (Eat(','));
            if (!Eat('}')) return Fail("expected ',' or '}'", why);
        }
        rows.push_back(std::move(row));
        return true;
    }

    bool Value(std::optional<std::string>& value, std::string& why) {
        const char c = Peek();
        if (c == '"') {
            std::string s;
            if (!String(s, why)) return false;
            value = std::move(s);
            return true;
        }
        for (const auto& [word, v] : {std::pair<std::string_view, const char*>{"null", nullptr}, {"true", "1"},
                                      {"false", "0"}}) {
            if (t_.substr(pos_, word.size()) == word) {
                pos_ += word.size();
                if (v) value = v;
                return true;
            }
        }
        std::size_t end = pos_;
        if (Peek() == '-') ++end;
        while (end < t_.size() && t_[end] >= '0' && t_[end] <= '9') ++end;
        if (end == pos_ || (end == pos_ + 1 && c == '-')) return Fail("expected a string, a whole number or null", why);
        if (end < t_.size() && std::string_view(".eE").find(t_[end]) != std::string_view::npos)
            return Fail("only whole numbers are settings", why);
        value = std::string(t_.substr(pos_, end - pos_));
        pos_ = end;
        return true;
    }

    static void AppendUtf8(uint32_t cp, std::string& out) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool Hex4(uint32_t& v) {
        if (pos_ + 4 > t_.size()) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = t_[pos_++];
            v <<= 4;
            if (h >= '0' && h <= '9') v |= uint32_t(h - '0');
            else if (h >= 'a' && h <= 'f') v |= uint32_t(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') v |= uint32_t(h - 'A' + 10);
            else return false;
        }
        return true;
    }

    bool String(std::string& out, std::string& why) {
        if (!Eat('"')) return Fail("expected a string", why);
        while (pos_ < t_.size()) {
            const char c = t_[pos_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character inside a string", why);
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = Peek();
            ++pos_;
            switch (e) {
                case '"': case '\\': case '/': out += e; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    uint32_t cp = 0, low = 0;
                    if (!Hex4(cp)) return Fail("a bad \\u escape", why);
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        if (!Eat('\\') || !Eat('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF)
                            return Fail("a lone surrogate", why);
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                        return Fail("a lone surrogate", why);
                    }
                    AppendUtf8(cp, out);
                    break;
                }
                default: return Fail("a bad escape", why);
            }
        }
        return Fail("a string is never closed", why);
    }

    std::string_view t_;
    std::size_t pos_ = 0;
};

}  // namespace

bool ReadCsvTable(std::string_view text, std::vector<PlanTableRow>& rows, std::string& why) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t pos = 0;
    int line = 1;
    std::vector<std::string> header, cells;
    while (header.empty() || (header.size() == 1 && header[0].empty())) {
        if (!NextRecord(text, pos, line, header, why)) {
            if (why.empty()) why = "the plan is empty";
            return false;
        }
    }
    for (;;) {
        const int startLine = line;
        if (!NextRecord(text, pos, line, cells, why)) return why.empty();
        if (cells.size() == 1 && cells[0].empty()) continue;
        if (cells.size() > header.size()) {
            why = "line " + std::to_string(startLine) + ": " + std::to_string(cells.size()) + " cells, but " +
                  std::to_string(header.size()) + " columns";
            return false;
        }
        PlanTableRow row;
        row.where = "line " + std::to_string(startLine);
        for (std::size_t i = 0; i < header.size(); ++i) {
            std::optional<std::string> value;
            if (i < cells.size() && !cells[i].empty()) value = cells[i];
            row.cells.emplace_back(header[i], std::move(value));
        }
        rows.push_back(std::move(row));
    }
}

bool ReadJsonTable(std::string_view text, std::vector<PlanTableRow>& rows, std::string& why) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return JsonReader(text).Read(rows, why);
}

}  // namespace orvanta::provision
