#include <koa_dev/error_cluster.h>
#include <koa_dev/tstring.h>

#include "core/lv_manager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <istream>
#include <memory>
#include <string>

namespace {

char g_empty[1] = {'\0'};
const char kDefaultTrimSet[] = " \t\r\n";
constexpr unsigned int kMaxFormatLength = 65536;

unsigned int LengthOf(const char* s) {
    return s ? static_cast<unsigned int>(std::strlen(s)) : 0;
}

bool InSet(char c, const char* set) {
    return c != '\0' && std::strchr(set, c) != nullptr;
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
        Replace(s, static_cast<unsigned int>(strnlen(s, n)));
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
void TString::Replace(const char* s, unsigned int n) {
    char* buffer = new char[n + 1];
    std::memcpy(buffer, s, n);
    buffer[n] = '\0';
    Release();
    text = buffer;
    length = n;
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
    const unsigned int added = LengthOf(s);
    char* buffer = new char[length + added + 1];
    std::memcpy(buffer, text, length);
    std::memcpy(buffer + length, s, added);
    buffer[length + added] = '\0';
    const unsigned int total = length + added;
    Release();
    text = buffer;
    length = total;
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

// Output beyond 65536 characters is cut off without a report.
void TString::vFormat(const char* format, va_list args) {
    va_list probe;
    va_copy(probe, args);
    const int needed = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    Release();
    if (needed <= 0)
        return;
    const unsigned int n = std::min(static_cast<unsigned int>(needed), kMaxFormatLength);
    auto buffer = std::make_unique<char[]>(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.get(), static_cast<size_t>(needed) + 1, format, args);
    Replace(buffer.get(), n);
}

void TString::SetLV_String(ErrorCluster* err, LStr*** h) const {
    if (err->FatalStatus())
        return;
    const int32_t result = NumericArrayResize(koa::kLvUInt8, 1, h, length);
    if (result != 0) {
        err->SetFatal(result);
        return;
    }
    std::memcpy((**h)->str, text, length);
    (**h)->cnt = static_cast<int32_t>(length);
}

std::istream& operator>>(std::istream& is, TString& s) {
    s = TString();
    char c;
    if (!(is >> c))
        return is;
    std::string word(1, c);
    for (int next = is.peek(); next != std::char_traits<char>::eof() && !std::isspace(next);
         next = is.peek())
        word.push_back(static_cast<char>(is.get()));
    s = word.c_str();
    return is;
}
