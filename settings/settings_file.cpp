#include "settings/settings_file.h"

#include <array>
#include <memory>

#include "settings/utf8.h"

namespace ndek {
namespace {

// A field may spend up to this many bytes in the file (blanks and text after its closing
// quote included) before the file is taken for damaged. Four bytes cover any character.
constexpr std::size_t kMaxFieldBytes = kMaxFieldChars * 4;

// Reads the file in blocks so that a huge file costs one block of memory.
class ByteStream {
 public:
  explicit ByteStream(InputFile& file) : file_(file) {}

  // kOk with `at_end` telling whether any byte is left.
  ErrorNumber at_end(bool& at_end) {
    const ErrorNumber err = fill();
    at_end = pos_ == size_;
    return err;
  }
  ErrorNumber peek(int& byte) {
    const ErrorNumber err = fill();
    byte = pos_ == size_ ? -1 : static_cast<unsigned char>(buffer_[pos_]);
    return err;
  }
  void skip() { ++pos_; }

 private:
  ErrorNumber fill() {
    if (pos_ < size_ || ended_) return kOk;
    pos_ = 0;
    size_ = 0;
    const ErrorNumber err = file_.read(buffer_.data(), buffer_.size(), size_);
    if (err != kOk || size_ == 0) ended_ = true;
    return err;
  }

  InputFile& file_;
  std::array<char, 64 * 1024> buffer_{};
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool ended_ = false;
};

struct RawField {
  std::string bytes;
  bool quoted = false;
};

bool is_blank(int c) { return c == ' ' || c == '\t'; }

// Splits on bytes. Quote, comma, blank, CR and LF are all below 0x40, and no trail byte of a
// double-byte code page (nor of UTF-8) is, so a split never lands inside a character; the
// field's bytes are decoded only after it is whole.
class FieldReader {
 public:
  explicit FieldReader(ByteStream& in) : in_(in) {}

  ErrorNumber read(RawField& field) {
    field = RawField{};
    budget_ = kMaxFieldBytes;
    int c;
    for (;;) {
      if (ErrorNumber err = in_.peek(c)) return err;
      if (!is_blank(c)) break;
      if (ErrorNumber err = take()) return err;
    }
    if (c == '"') {
      field.quoted = true;
      if (ErrorNumber err = take()) return err;
      for (;;) {
        if (ErrorNumber err = in_.peek(c)) return err;
        if (c == -1) return kOk;
        if (ErrorNumber err = take()) return err;
        if (c == '"') break;
        field.bytes.push_back(static_cast<char>(c));
      }
      // Whatever stands between the closing quote and the separator is dropped.
      for (;;) {
        if (ErrorNumber err = in_.peek(c)) return err;
        if (c == -1 || c == ',' || c == '\r' || c == '\n') return end_field(c);
        if (ErrorNumber err = take()) return err;
      }
    }
    for (;;) {
      if (ErrorNumber err = in_.peek(c)) return err;
      if (c == -1 || c == ',' || c == '\r' || c == '\n') break;
      if (ErrorNumber err = take()) return err;
      field.bytes.push_back(static_cast<char>(c));
    }
    while (!field.bytes.empty() && is_blank(field.bytes.back())) field.bytes.pop_back();
    return end_field(c);
  }

 private:
  ErrorNumber take() {
    if (budget_ == 0) return kErrBadRecordLength;
    --budget_;
    in_.skip();
    return kOk;
  }

  // Consumes the separator: a comma, or a line end of CR LF, CR or LF.
  ErrorNumber end_field(int separator) {
    if (separator == -1) return kOk;
    in_.skip();
    if (separator != '\r') return kOk;
    int next;
    if (ErrorNumber err = in_.peek(next)) return err;
    if (next == '\n') in_.skip();
    return kOk;
  }

  ByteStream& in_;
  std::size_t budget_ = 0;
};

// What an unquoted field must look like to be read as a number: sign, digits, a decimal
// point, an exponent.
bool reads_as_number(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent_digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  return i == text.size();
}

ErrorNumber decode_field(AnsiCodePage& code_page, bool utf8, const std::string& bytes,
                         std::string& text) {
  if (utf8) {
    if (!is_valid_utf8(bytes)) return kErrInvalidFileFormat;
    text = bytes;
  } else if (!code_page.decode(bytes, text)) {
    return kErrInvalidFileFormat;
  }
  return utf16_length(text) > kMaxFieldChars ? kErrBadRecordLength : kOk;
}

// Skips a UTF-8 byte-order mark and tells whether there was one.
ErrorNumber read_bom(ByteStream& in, bool& utf8) {
  utf8 = false;
  int c;
  if (ErrorNumber err = in.peek(c)) return err;
  if (c != 0xEF) return kOk;
  // A first byte 0xEF must go on as the whole mark: the writer starts every line with a quote,
  // and in code page 932 0xEF begins no character, so part of a mark means a damaged file.
  in.skip();
  for (char expected : kUtf8Bom.substr(1)) {
    if (ErrorNumber err = in.peek(c)) return err;
    if (c != static_cast<unsigned char>(expected)) return kErrInvalidFileFormat;
    in.skip();
  }
  utf8 = true;
  return kOk;
}

// True when `text` has an exact form in the code page: one that also reads back as `text`
// (some characters share a code with a look-alike and would come back as that).
bool encode_exactly(AnsiCodePage& code_page, const std::string& text, std::string& ansi) {
  std::string back;
  return code_page.encode(text, ansi) && code_page.decode(ansi, back) && back == text;
}

}  // namespace

SettingsReadResult read_settings(const SettingsIo& io, const std::string& path, std::size_t max) {
  SettingsReadResult result;
  std::unique_ptr<InputFile> file;
  result.failure = io.files.open_read(path, file);
  if (result.failure != kOk) return result;

  auto in = std::make_unique<ByteStream>(*file);
  FieldReader fields(*in);
  bool utf8 = false;
  result.failure = read_bom(*in, utf8);
  while (result.failure == kOk && result.records.size() < max) {
    bool at_end;
    if ((result.failure = in->at_end(at_end)) != kOk || at_end) break;
    RawField drive, folder;
    if ((result.failure = fields.read(drive)) != kOk) break;
    if ((result.failure = in->at_end(at_end)) != kOk) break;
    if (at_end) {
      result.failure = kErrInputPastEnd;  // a drive field with no folder field
      break;
    }
    if ((result.failure = fields.read(folder)) != kOk) break;
    DriveSetting record;
    record.drive_is_number = !drive.quoted && reads_as_number(drive.bytes);
    if ((result.failure = decode_field(io.code_page, utf8, drive.bytes, record.drive)) != kOk ||
        (result.failure = decode_field(io.code_page, utf8, folder.bytes, record.folder)) != kOk) {
      break;
    }
    result.records.push_back(std::move(record));
  }
  return result;
}

std::string encode_settings(AnsiCodePage& code_page, const std::vector<DriveSetting>& records) {
  std::string ansi;
  bool representable = true;
  for (const DriveSetting& record : records) {
    std::string drive, folder;
    if (!encode_exactly(code_page, record.drive, drive) ||
        !encode_exactly(code_page, record.folder, folder)) {
      representable = false;
      break;
    }
    ansi += "\"" + drive + "\",\"" + folder + "\"\r\n";
  }
  if (representable) return ansi;

  // Writing '?' for a character the code page lacks would silently change the folder.
  std::string utf8(kUtf8Bom);
  for (const DriveSetting& record : records) {
    utf8 += "\"" + record.drive + "\",\"" + record.folder + "\"\r\n";
  }
  return utf8;
}

ErrorNumber write_settings(const SettingsIo& io, const std::string& path,
                           const std::vector<DriveSetting>& records) {
  // Replacing by rename would go around the read-only attribute, so honour it here.
  bool read_only = false;
  if (ErrorNumber err = io.files.is_read_only(path, read_only)) return err;
  if (read_only) return kErrPathFileAccess;

  const std::string bytes = encode_settings(io.code_page, records);
  std::unique_ptr<OutputFile> file;
  std::string temp_path;
  if (ErrorNumber err = io.files.create_temp_beside(path, file, temp_path)) return err;

  ErrorNumber err = file->write(bytes.data(), bytes.size());
  if (err == kOk) err = file->flush();
  if (err == kOk) err = file->close();
  file.reset();
  if (err == kOk) err = io.files.replace(temp_path, path);
  if (err != kOk) io.files.remove(temp_path);
  return err;
}

}  // namespace ndek
