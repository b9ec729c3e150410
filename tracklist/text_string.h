#pragma once
// TextString: the plug-in's byte string (no encoding logic of its own). Copies share one buffer
// through a one-byte share count; equality and Find compare bytes exactly, and the ...IgnoringCase
// forms fold ASCII letters only (the bytes of any other character compare exactly); paths split
// only at ':' and '\'.

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace tarnix {

// The track list reader's failure reasons ("Invalid file", "CD identity mismatch").
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
  // Writable access for fillers; call Reserve first, then SetLength. SetLength also shortens a
  // string, its copies keeping their text.
  char* Buffer() { return data_; }
  void SetLength(int n);
  void Clear();

  bool operator==(const TextString& other) const;
  bool operator==(const char* text) const;
  bool operator!=(const TextString& other) const { return !(*this == other); }
  bool operator!=(const char* text) const { return !(*this == text); }
  // How names are matched (file names, titles, tags): ASCII letters fold, every other byte must
  // be the same.
  bool EqualsIgnoringCase(const TextString& other) const;
  bool EqualsIgnoringCase(const char* text) const;

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
  int FindIgnoringCase(const char* text, int start = 0) const;
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

  // Replaces the content by the next line of `file` without its line break (a last line without
  // one is still a line); false, the content empty, at the end of the file, so that an empty
  // line and the end are never confused.
  bool ReadLine(std::FILE* file);

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
