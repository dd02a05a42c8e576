// Profile (INI) files on POSIX, read and written the way the Windows private-profile functions do.
// Writing edits the file's text in place: only the line that changes is rewritten, and the result
// goes through a temporary file and a rename so an interrupted write never leaves half a file.
#include "platform/profile.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// One line of the file as offsets into its text.
struct Line {
    std::size_t begin;  // first byte
    std::size_t end;    // one past the last byte before the line break ("\n" or "\r\n")
    std::size_t next;   // start of the following line; == end when the file ends without a break
};

std::vector<Line> splitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    // A UTF-8 byte-order mark belongs to no line's content.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back({pos, text.size(), text.size()});
            break;
        }
        std::size_t end = (nl > pos && text[nl - 1] == '\r') ? nl - 1 : nl;
        lines.push_back({pos, end, nl + 1});
        pos = nl + 1;
    }
    return lines;
}

// Where a section and a key were found in the file's lines.
struct Location {
    std::optional<std::size_t> header;         // the section's "[Name]" line
    std::size_t lastNonBlank = 0;              // the section's last non-blank line (the header at least)
    std::optional<std::size_t> keyLine;        // the key's line
    std::size_t keyEnd = 0;                    // offset just past the key's name on that line
    std::string_view value;                    // the key's value, trimmed, quotes still on
};

// Finds the first section named section, and the first key named key inside it.
Location locate(const std::string& text, const std::vector<Line>& lines, std::string_view section,
                std::string_view key) {
    Location loc;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view raw(text.data() + lines[i].begin, lines[i].end - lines[i].begin);
        std::string_view content = trim(raw);
        if (content.empty()) continue;

        if (content.front() == '[') {
            std::size_t close = content.find(']');
            if (close != std::string_view::npos) {
                if (inSection) break;  // the section has ended
                if (sameName(trim(content.substr(1, close - 1)), section)) {
                    inSection = true;
                    loc.header = i;
                    loc.lastNonBlank = i;
                }
                continue;
            }
        }
        if (!inSection) continue;
        loc.lastNonBlank = i;
        if (content.front() == ';' || loc.keyLine) continue;

        std::size_t eq = content.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view name = trim(content.substr(0, eq));
        if (!sameName(name, key)) continue;
        loc.keyLine = i;
        loc.keyEnd = static_cast<std::size_t>(name.data() + name.size() - text.data());
        loc.value = trim(content.substr(eq + 1));
    }
    return loc;
}

// The whole file; nullopt when it cannot be read, with errno telling why.
std::optional<std::string> readWhole(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string text;
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            int saved = errno;
            ::close(fd);
            errno = saved;
            return std::nullopt;
        }
    }
    ::close(fd);
    return text;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Replaces path with text: written to a new file beside it, flushed to disk, then renamed over it.
bool replaceFile(const std::string& path, const std::string& text) {
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        // 0666 lets the umask decide the permissions of a new settings file, as for any other file.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    // The replacement keeps the permissions of the file it replaces.
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);

    bool ok = writeAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

// The file a write should replace: the target of a symbolic link rather than the link itself.
std::string resolvedTarget(const std::string& file) {
    struct stat st{};
    if (::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(file.c_str(), nullptr)) {
            std::string target(real);
            ::free(real);
            return target;
        }
    }
    return file;
}

// The key's value with quotes removed, or nullopt when the file, section or key is missing.
std::optional<std::string> lookUpValue(const std::string& file, const std::string& section, const std::string& key) {
    std::optional<std::string> text = readWhole(file);
    if (!text) return std::nullopt;
    std::vector<Line> lines = splitLines(*text);
    Location loc = locate(*text, lines, section, key);
    if (!loc.keyLine) return std::nullopt;
    std::string_view v = loc.value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

}  // namespace

std::string getProfileString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue, std::size_t capacity) {
    if (capacity == 0) return std::string();
    std::optional<std::string> value = lookUpValue(file, section, key);
    std::string result = value ? std::move(*value) : defaultValue;
    if (result.size() > capacity - 1) result.resize(capacity - 1);
    return result;
}

int getProfileInt(const std::string& file, const std::string& section, const std::string& key, int defaultValue) {
    std::optional<std::string> value = lookUpValue(file, section, key);
    if (!value || value->empty()) return defaultValue;

    std::size_t i = 0;
    while (i < value->size() && isBlank((*value)[i])) ++i;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == '-' || (*value)[i] == '+')) negative = (*value)[i++] == '-';
    // Windows accumulates in 32 unsigned bits and lets overflow wrap; do the same.
    std::uint32_t total = 0;
    for (; i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9'; ++i)
        total = total * 10u + static_cast<std::uint32_t>((*value)[i] - '0');
    if (negative) total = 0u - total;
    return static_cast<int>(total);
}

bool writeProfileString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    const std::string target = resolvedTarget(file);
    std::optional<std::string> existing = readWhole(target);
    if (!existing && errno != ENOENT) return false;  // there, but unreadable: never clobber it
    const std::string text = existing ? std::move(*existing) : std::string();

    // New lines follow the file's own line ends, judged by its first line.
    std::size_t firstBreak = text.find('\n');
    const std::string eol = (firstBreak != std::string::npos && firstBreak > 0 && text[firstBreak - 1] == '\r')
                                ? "\r\n"
                                : "\n";

    std::vector<Line> lines = splitLines(text);
    Location loc = locate(text, lines, section, key);
    std::string out;

    if (loc.keyLine) {
        // Keep everything up to the end of the key's name (indent, spelling), replace the rest.
        const Line& line = lines[*loc.keyLine];
        out.append(text, 0, loc.keyEnd);
        out += '=';
        out += value;
        out.append(text, line.end, std::string::npos);
    } else if (loc.header) {
        const Line& last = lines[loc.lastNonBlank];
        if (last.next > last.end) {
            out.append(text, 0, last.next);
            out += key + "=" + value + eol;
            out.append(text, last.next, std::string::npos);
        } else {
            // The section's last line is the file's last, with no line break yet.
            out = text + eol + key + "=" + value + eol;
        }
    } else {
        out = text;
        if (!lines.empty()) {
            const Line& last = lines.back();
            if (last.next == last.end) out += eol;
            if (!trim(std::string_view(text.data() + last.begin, last.end - last.begin)).empty()) out += eol;
        }
        out += "[" + section + "]" + eol + key + "=" + value + eol;
    }
    return replaceFile(target, out);
}

}  // namespace platform
