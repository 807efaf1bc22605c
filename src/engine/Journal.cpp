#include "engine/Journal.h"

#include <charconv>
#include <cstdio>

#include "shared/NativeName.h"

namespace zv {

namespace {

constexpr std::string_view kMagic = "zorvik-journal 1";

struct OpName {
    JournalOp op;
    std::string_view name;
};
constexpr OpName kOps[] = {{JournalOp::kRename, "rename"},
                           {JournalOp::kMove, "move"},
                           {JournalOp::kCross, "cross"},
                           {JournalOp::kCopy, "copy"},
                           {JournalOp::kUncopy, "uncopy"}};
constexpr std::string_view kKinds[] = {"run", "undo", "redo"};

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    while (!line.empty()) {
        std::size_t sp = line.find(' ');
        out.push_back(line.substr(0, sp));
        if (sp == std::string_view::npos) break;
        line.remove_prefix(sp + 1);
    }
    return out;
}

template <typename T>
bool Number(std::string_view s, T& out) {
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

void AppendIdentity(std::string& out, const FileIdentity& id) {
    out += ' ' + std::to_string(id.device) + ' ' + std::to_string(id.file) + ' ' + std::to_string(id.size) +
           ' ' + std::to_string(id.writeTime) + ' ' + std::to_string(id.attributes);
}

// Five fields from `at` on; a device and file number of 0 stand for "not
// known" (a file system that reports none).
bool ReadIdentity(const std::vector<std::string_view>& f, std::size_t at, FileIdentity& id) {
    if (f.size() < at + 5) return false;
    id.exists = true;
    return Number(f[at], id.device) && Number(f[at + 1], id.file) && Number(f[at + 2], id.size) &&
           Number(f[at + 3], id.writeTime) && Number(f[at + 4], id.attributes);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::size_t Journal::DoneMarks() const {
    std::size_t n = 0;
    for (const auto& r : rows) n += r.done ? 1 : 0;
    return n;
}

std::string EscapeJournalName(std::u16string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string bytes = ToNative(name);
    std::string out;
    out.reserve(bytes.size() + 8);
    for (unsigned char b : bytes) {
        if (b > ' ' && b < 0x7F && b != '%') {
            out += static_cast<char>(b);
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::u16string UnescapeJournalName(std::string_view field) {
    std::string bytes;
    bytes.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '%' && i + 2 < field.size() && HexValue(field[i + 1]) >= 0 && HexValue(field[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(field[i + 1]) * 16 + HexValue(field[i + 2]));
            i += 2;
        } else {
            bytes += field[i];
        }
    }
    return FromNative(bytes);
}

std::string FormatJournalPlan(const Journal& j) {
    std::string out;
    out.reserve(256 + j.rows.size() * 96);
    out += kMagic;
    out += "\nkind ";
    out += kKinds[static_cast<int>(j.kind)];
    char started[40];
    std::snprintf(started, sizeof started, "\nstarted %04d-%02d-%02dT%02d:%02d:%02d\n", j.started.year,
                  j.started.month, j.started.day, j.started.hour, j.started.minute, j.started.second);
    out += started;
    out += "source " + EscapeJournalName(j.source) + "\n";
    out += "destination " + EscapeJournalName(j.destination) + "\n";
    out += "stamps";
    if (j.setsTime) out += " time";
    if (j.setsAttributes) out += " attributes";
    out += "\n";
    if (!j.undoes.empty()) out += "undoes " + j.undoes + "\n";
    out += "rows " + std::to_string(j.rows.size()) + "\n";
    for (const auto& r : j.rows) {
        out += "row ";
        out += kOps[static_cast<int>(r.op)].name;
        out += ' ';
        out += EscapeJournalName(r.from);
        out += ' ';
        out += EscapeJournalName(r.to);
        AppendIdentity(out, r.before);
        if (!r.via.empty()) out += ' ' + EscapeJournalName(r.via);
        out += '\n';
    }
    out += "plan\n";
    return out;
}

std::string FormatDoneMark(std::size_t row, const FileIdentity* made) {
    std::string out = "done " + std::to_string(row);
    if (made) AppendIdentity(out, *made);
    return out + "\n";
}

std::string FormatViaMark(std::size_t row) { return "via " + std::to_string(row) + "\n"; }

std::optional<Journal> ParseJournal(std::string_view text) {
    Journal j;
    bool first = true;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        if (nl == std::string_view::npos) break;  // cut short
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl + 1);
        if (first) {
            if (line != kMagic) return std::nullopt;
            first = false;
            continue;
        }
        const auto f = Fields(line);
        if (f.empty()) continue;
        const std::string_view key = f[0];
        if (!j.planned) {
            if (key == "kind" && f.size() == 2) {
                for (int k = 0; k < 3; ++k)
                    if (f[1] == kKinds[k]) j.kind = static_cast<JournalKind>(k);
            } else if (key == "started" && f.size() == 2) {
                LocalDateTime& t = j.started;
                std::sscanf(std::string(f[1]).c_str(), "%d-%d-%dT%d:%d:%d", &t.year, &t.month, &t.day, &t.hour,
                            &t.minute, &t.second);
            } else if (key == "source" && f.size() == 2) {
                j.source = UnescapeJournalName(f[1]);
            } else if (key == "destination" && f.size() == 2) {
                j.destination = UnescapeJournalName(f[1]);
            } else if (key == "stamps") {
                for (std::size_t i = 1; i < f.size(); ++i) {
                    j.setsTime |= f[i] == "time";
                    j.setsAttributes |= f[i] == "attributes";
                }
            } else if (key == "undoes" && f.size() == 2) {
                j.undoes = std::string(f[1]);
            } else if (key == "row" && (f.size() == 9 || f.size() == 10)) {
                JournalRow r;
                bool known = false;
                for (const auto& o : kOps)
                    if (f[1] == o.name) r.op = o.op, known = true;
                if (!known || !ReadIdentity(f, 4, r.before)) return std::nullopt;
                r.from = UnescapeJournalName(f[2]);
                r.to = UnescapeJournalName(f[3]);
                if (f.size() == 10) r.via = UnescapeJournalName(f[9]);
                j.rows.push_back(std::move(r));
            } else if (key == "plan") {
                j.planned = true;
            }
            continue;
        }
        std::size_t row = 0;
        const bool rowMark = (key == "done" || key == "via") && f.size() >= 2 && Number(f[1], row) &&
                             row < j.rows.size();
        if (key == "done" && rowMark) {
            j.rows[row].done = true;
            FileIdentity made;
            if (ReadIdentity(f, 2, made)) j.rows[row].made = made;
        } else if (key == "via" && rowMark) {
            j.rows[row].reachedVia = true;
        } else if (key == "complete") {
            j.complete = true;
        } else if (key == "undone" && f.size() == 2) {
            j.undoneBy = std::string(f[1]);
        } else if (key == "closed") {
            j.closed = true;
        }
    }
    if (first) return std::nullopt;
    return j;
}

}  // namespace zv
