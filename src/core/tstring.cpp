#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring.h>

#include "core/lv_manager.h"
#include "core/memory.h"
#include "platform/format.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <istream>
#include <memory>

namespace {

char g_empty[1] = {'\0'};
const char kDefaultTrimSet[] = " \t\r\n";
constexpr unsigned int kFirstFormatSize = 1024;
// The tries double from 1024; the one at or past 64000 (65536) is the last.
constexpr unsigned int kLastFormatSize = 64000;
// The longest text LabVIEW can hold; a longer one is refused like one whose memory is missing.
constexpr size_t kMaxLength = 0x7FFFFFFF;

size_t LengthOf(const char* s) {
    return s ? std::strlen(s) : 0;
}

bool InSet(char c, const char* set) {
    return c != '\0' && std::strchr(set, c) != nullptr;
}

// A buffer for a text of n characters and its terminator; null when it cannot be had.
char* NewText(size_t n) {
    if (n > kMaxLength) {
        koa::memory::NoteFailure();
        return nullptr;
    }
    return koa::memory::NewArray<char>(n + 1);
}

struct TextDeleter {
    void operator()(char* text) const { delete[] text; }
};
using ScratchText = std::unique_ptr<char, TextDeleter>;

// The size of the try after one of size whose text did not fit: the step that holds the needed
// length when the formatter reports it, else the next step.
unsigned int NextFormatSize(unsigned int size, int needed) {
    do
        size *= 2;
    while (size < kLastFormatSize && needed > 0 && static_cast<unsigned int>(needed) > size);
    return size;
}

} // namespace

char* TString::NullPtr = g_empty;

TString::TString() : text(NullPtr), length(0) {}

TString::TString(const TString& other) : text(NullPtr), length(0) {
    Replace(other.text, LengthOf(other.text));
}

TString::TString(const char* s) : text(NullPtr), length(0) {
    if (s != nullptr)
        Replace(s, LengthOf(s));
}

TString::TString(const char* s, unsigned int n) : text(NullPtr), length(0) {
    if (s != nullptr)
        Replace(s, strnlen(s, n));
}

TString::TString(LStr** const h) : text(NullPtr), length(0) {
    if (h != nullptr && *h != nullptr && (*h)->cnt > 0)
        Replace(reinterpret_cast<const char*>((*h)->str), static_cast<unsigned int>((*h)->cnt));
}

TString::~TString() {
    Release();
}

TString& TString::operator=(const TString& other) {
    if (this != &other)
        Replace(other.text, LengthOf(other.text));
    return *this;
}

TString& TString::operator=(const char* s) {
    Replace(s ? s : "", LengthOf(s));
    return *this;
}

// Allocates the new exact-size buffer before freeing the old one, so s may point into text.
// Without memory for it the text stays as it was. An empty text needs none.
void TString::Replace(const char* s, size_t n) {
    if (n == 0) {
        Release();
        return;
    }
    char* buffer = NewText(n);
    if (buffer == nullptr)
        return;
    std::memcpy(buffer, s, n);
    buffer[n] = '\0';
    Adopt(buffer, n);
}

void TString::Adopt(char* buffer, size_t n) {
    Release();
    text = buffer;
    length = static_cast<unsigned int>(n);
}

void TString::Release() {
    if (text != NullPtr)
        delete[] text;
    text = NullPtr;
    length = 0;
}

TString& TString::operator+=(const TString& other) {
    return *this += other.text;
}

TString& TString::operator+=(const char* s) {
    const size_t added = LengthOf(s);
    const size_t total = added <= kMaxLength - length ? length + added : kMaxLength + 1;
    char* buffer = NewText(total);
    if (buffer == nullptr)
        return *this;
    std::memcpy(buffer, text, length);
    std::memcpy(buffer + length, s, added);
    buffer[total] = '\0';
    Adopt(buffer, total);
    return *this;
}

TString TString::operator+(const TString& other) const {
    return TString(*this) += other;
}

TString TString::operator+(const char* s) const {
    return TString(*this) += s;
}

TString operator+(const char* left, const TString& right) {
    return TString(left) += right;
}

bool TString::operator==(const TString& o) const {
    return std::strcmp(text, o.text) == 0;
}
bool TString::operator!=(const TString& o) const {
    return std::strcmp(text, o.text) != 0;
}
bool TString::operator<(const TString& o) const {
    return std::strcmp(text, o.text) < 0;
}
bool TString::operator<=(const TString& o) const {
    return std::strcmp(text, o.text) <= 0;
}
bool TString::operator>(const TString& o) const {
    return std::strcmp(text, o.text) > 0;
}
bool TString::operator>=(const TString& o) const {
    return std::strcmp(text, o.text) >= 0;
}

TString TString::Mid(int start, int count) const {
    if (start < 0 || static_cast<unsigned int>(start) >= length)
        return TString();
    const unsigned int rest = length - static_cast<unsigned int>(start);
    const unsigned int n = count > 0 ? std::min(rest, static_cast<unsigned int>(count)) : rest;
    return TString(text + start, n);
}

TString TString::Left(int count) const {
    if (count <= 0)
        return TString();
    return TString(text, std::min(length, static_cast<unsigned int>(count)));
}

TString TString::Right(int count) const {
    if (count <= 0)
        return TString();
    if (static_cast<unsigned int>(count) >= length)
        return *this;
    return TString(text + length - static_cast<unsigned int>(count));
}

void TString::MakeUpper() {
    for (unsigned int i = 0; i < length; ++i)
        text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
}

void TString::MakeLower() {
    for (unsigned int i = 0; i < length; ++i)
        text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
}

void TString::MakeReverse() {
    std::reverse(text, text + length);
}

// Keeps the characters [start, end) in a new exact-size buffer, or none at all.
void TString::KeepRange(unsigned int start, unsigned int end) {
    if (start == 0 && end == length)
        return;
    if (start >= end)
        Release();
    else
        Replace(text + start, end - start);
}

void TString::TrimRight(const char* set) {
    unsigned int end = length;
    while (end > 0 && InSet(text[end - 1], set))
        --end;
    KeepRange(0, end);
}

void TString::TrimLeft(const char* set) {
    unsigned int start = 0;
    while (start < length && InSet(text[start], set))
        ++start;
    KeepRange(start, length);
}

void TString::Trim(const char* set) {
    if (length == 0)
        return;
    unsigned int end = length;
    while (end > 0 && InSet(text[end - 1], set))
        --end;
    unsigned int start = 0;
    while (start < end && InSet(text[start], set))
        ++start;
    KeepRange(start, end);
}

void TString::Trim() {
    Trim(kDefaultTrimSet);
}
void TString::TrimLeft() {
    TrimLeft(kDefaultTrimSet);
}
void TString::TrimRight() {
    TrimRight(kDefaultTrimSet);
}

void TString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vFormat(format, args);
    va_end(args);
}

// Formats into scratch buffers of growing size and replaces the old text last, so the arguments
// may point into it. Output beyond 65536 characters is cut off without a report; without memory
// the text stays as it was.
void TString::vFormat(const char* format, va_list args) {
    ScratchText scratch;
    size_t n = 0;
    for (unsigned int size = kFirstFormatSize;;) {
        scratch.reset(koa::memory::NewArray<char>(size + 1));
        if (scratch == nullptr)
            return;
        va_list copy;
        va_copy(copy, args);
        const int needed = koa::platform::FormatText(scratch.get(), size, format, copy);
        va_end(copy);
        scratch.get()[size] = '\0';
        if (needed >= 0 && static_cast<unsigned int>(needed) <= size) {
            n = static_cast<size_t>(needed);
            break;
        }
        if (size >= kLastFormatSize) {
            // A formatter that reports no length may also have stopped early.
            n = needed > 0 ? size : strnlen(scratch.get(), size);
            break;
        }
        size = NextFormatSize(size, needed);
    }
    Replace(scratch.get(), n);
}

void TString::SetLV_String(ErrorCluster* err, LStr*** h) const {
    if (err->FatalStatus())
        return;
    if (h == nullptr) {
        err->SetFatal(koa::kLvArgumentError);
        return;
    }
    const int32_t result = NumericArrayResize(koa::kLvUInt8, 1, h, length);
    if (result != 0) {
        err->SetFatal(result);
        return;
    }
    std::memcpy((**h)->str, text, length);
    (**h)->cnt = static_cast<int32_t>(length);
}

// Reads one whitespace-delimited word, 100 characters at a time.
std::istream& operator>>(std::istream& is, TString& s) {
    s = TString();
    char c;
    if (!(is >> c))
        return is;
    char chunk[101];
    size_t used = 0;
    for (;;) {
        chunk[used++] = c;
        if (used == 100) {
            chunk[used] = '\0';
            s += chunk;
            used = 0;
        }
        const int next = is.peek();
        if (next == std::char_traits<char>::eof() || std::isspace(next))
            break;
        c = static_cast<char>(is.get());
    }
    chunk[used] = '\0';
    s += chunk;
    return is;
}
