#pragma once
// TextString: the plug-in's byte string (ANSI code page, no encoding logic). Copies share one
// buffer through a one-byte share count; equality and Find ignore ASCII letter case once the
// process-wide switch is turned off; paths split only at ':' and '\'.

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace tarnix {

// Raised by ReadLine at the end of a file (text "EOF") and used by the track list reader for
// its own failure reasons ("Invalid file", "CD identity mismatch").
class TextException : public std::runtime_error {
 public:
  explicit TextException(const char* what) : std::runtime_error(what) {}
};

class TextString {
 public:
  static constexpr int kGrowth = 32;

  TextString();
  TextString(const TextString& other);
  TextString(TextString&& other) noexcept;
  TextString(const char* text);  // NOLINT: implicit, like the texts it stands for
  TextString(int count, const char* text);
  ~TextString();

  TextString& operator=(const TextString& other);
  TextString& operator=(TextString&& other) noexcept;
  TextString& operator=(const char* text);

  int Length() const { return length_; }
  int Capacity() const { return capacity_; }
  const char* Data() const { return data_; }
  const char* c_str() const { return data_; }
  bool IsEmpty() const { return length_ == 0; }
  char operator[](int index) const { return data_[index]; }

  // Makes sure the string owns an unshared buffer with room for n characters.
  void Reserve(int n);
  // Writable access for fillers; call Reserve first, then SetLength.
  char* Buffer() { return data_; }
  void SetLength(int n);
  void Clear();

  bool operator==(const TextString& other) const;
  bool operator==(const char* text) const;
  bool operator!=(const TextString& other) const { return !(*this == other); }
  bool operator!=(const char* text) const { return !(*this == text); }

  TextString& Append(const TextString& other);
  TextString& Append(const char* text);
  TextString& Append(const char* text, int count);
  TextString& operator+=(const TextString& other) { return Append(other); }
  TextString& operator+=(const char* text) { return Append(text); }
  TextString& operator+=(char c);

  TextString Repeat(int count) const;
  TextString Left(int n) const;
  TextString Right(int n) const;
  TextString Mid(int pos, int n = -1) const;
  int Find(const char* text, int start = 0) const;
  void ToUpper();

  TextString FileNamePart() const;
  TextString DirectoryPart() const;
  TextString WithoutExtension() const;
  TextString UpperExtension() const;

  int Format(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  int FormatV(const char* format, va_list args);

  // Replaces the content by the next line of `file` without its line break and returns the
  // length. At the end of the file: with the end-of-file switch on, throws TextException("EOF");
  // otherwise returns 0.
  int ReadLine(std::FILE* file);
  // The same line reader, but the end of the file is told by returning false whatever the
  // end-of-file switch says (an empty line and the end are then never confused).
  bool ReadLineOrEnd(std::FILE* file);

  // Process-wide switches (set once at start-up, before any other thread uses strings).
  static void SetCaseSensitive(bool on);
  static bool CaseSensitive();
  static void SetEofException(bool on);
  static bool EofException();

  // Shares with the buffer of `other`; exposed for tests of the share count.
  int ShareCount() const;

 private:
  void Release();
  void AttachShared(const TextString& other);

  int length_;
  int capacity_;
  char* data_;
};

TextString operator+(const TextString& a, const TextString& b);
TextString operator+(const TextString& a, const char* b);
TextString operator+(const char* a, const TextString& b);

}  // namespace tarnix
