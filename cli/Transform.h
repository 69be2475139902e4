// A file's bytes in, the bytes the scan keeps out.
//
// The text's encoding is found (or forced), the text is scanned in a form the
// engine reads, and the stretches it keeps are copied from the input's own
// bytes: a BOM, line breaks and every character come out exactly as they
// went in, whatever the encoding.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Catalogue.h"
#include "engine/CommentScan.h"

namespace kelvorat::cli {

enum class Encoding : std::uint8_t { Utf8, Utf16LE, Utf16BE, Cp932 };

// utf-8, utf-16le, utf-16be, cp932 (and a few other spellings).
std::optional<Encoding> ParseEncoding(std::string_view name);
std::string_view EncodingName(Encoding encoding);

struct TextForm {
  Encoding encoding = Encoding::Utf8;
  std::size_t bomLength = 0;  // the BOM's bytes, copied out as they are and not scanned
};

// The form of bytes: a BOM decides (UTF-8, UTF-16LE, UTF-16BE); otherwise
// valid UTF-8; otherwise valid code page 932. With `forced`, that encoding
// (after its BOM, if there is one). Answers false, with a reason naming the
// byte offset of the first invalid sequence, when the bytes are not text.
bool DetectForm(std::string_view bytes, std::optional<Encoding> forced, TextForm& form,
                std::string& reason);

// Receives the output bytes in order.
class ByteSink {
 public:
  virtual void Put(const char* data, std::size_t size) = 0;

 protected:
  ~ByteSink() = default;
};

class StringSink final : public ByteSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  void Put(const char* data, std::size_t size) override { out_.append(data, size); }

 private:
  std::string& out_;
};

// Deletes or extracts the comments of bytes, writing the BOM and then the
// input's bytes of every stretch the scan keeps to out. scratch, when given,
// holds a copy of bytes that may be overwritten, which spares making one.
// Precondition: form is what DetectForm answered for bytes.
void TransformBytes(std::string_view bytes, const TextForm& form, Language language, ScanKind kind,
                    ByteSink& out, char* scratch = nullptr);

// The language of a file name's extension (any letter case), if it has one.
std::optional<Language> LanguageForPath(std::string_view path);

}  // namespace kelvorat::cli
