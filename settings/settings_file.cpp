#include "settings/settings_file.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/platform_services.h"
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
  void skip() {
    ++pos_;
    ++consumed_;
  }
  std::uint64_t consumed() const { return consumed_; }

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
  std::uint64_t consumed_ = 0;
  bool ended_ = false;
};

struct RawField {
  std::string bytes;
  bool quoted = false;
  bool started_line = false;  // at the start of the file or after a line end
  bool ended_line = false;    // by a line end or the end of the file, not by a comma
};

struct RawRecord {
  RawField drive;
  RawField folder;
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
    field.started_line = line_start_;
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
        if (c == -1 || c == ',' || c == '\r' || c == '\n') return end_field(field, c);
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
    return end_field(field, c);
  }

 private:
  ErrorNumber take() {
    if (budget_ == 0) return kErrBadRecordLength;
    --budget_;
    in_.skip();
    return kOk;
  }

  // Consumes the separator: a comma, or a line end of CR LF, CR or LF.
  ErrorNumber end_field(RawField& field, int separator) {
    field.ended_line = separator != ',';
    line_start_ = field.ended_line;
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
  bool line_start_ = true;
};

// Hands out the fields in file order, except that blank lines and a Ctrl-Z at the very end of
// the file are no fields at all: editors leave them there. The same lines elsewhere are
// empty fields as before, so telling the two apart means reading on to the next real field.
class FieldSource {
 public:
  explicit FieldSource(ByteStream& in) : in_(in), reader_(in) {}

  // `at_end` when no field is left.
  ErrorNumber next(RawField& field, bool& at_end) {
    at_end = false;
    if (held_.empty()) {
      if (ErrorNumber err = read_past_filler()) return err;
      if (held_.empty()) {
        at_end = true;
        return kOk;
      }
    }
    field = std::move(held_.front());
    held_.pop_front();
    return kOk;
  }

 private:
  static bool is_filler(const RawField& field) {
    return !field.quoted && field.started_line && field.ended_line &&
           field.bytes.find_first_not_of('\x1A') == std::string::npos;
  }

  // Holds the filler fields up to and including the next real one; filler that runs to the
  // end of the file is dropped.
  ErrorNumber read_past_filler() {
    const std::uint64_t start = in_.consumed();
    for (;;) {
      bool at_end;
      if (ErrorNumber err = in_.at_end(at_end)) return err;
      if (at_end) {
        held_.clear();
        return kOk;
      }
      RawField field;
      if (ErrorNumber err = reader_.read(field)) return err;
      const bool filler = is_filler(field);
      held_.push_back(std::move(field));
      if (!filler) return kOk;
      if (in_.consumed() - start > kMaxFieldBytes) return kErrBadRecordLength;
    }
  }

  ByteStream& in_;
  FieldReader reader_;
  std::deque<RawField> held_;
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

bool has_non_ascii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool passes_for_utf8(std::string_view bytes) {
  return has_non_ascii(bytes) && is_valid_utf8(bytes);
}

// Without a byte-order mark, a file whose text is valid UTF-8 and not all ASCII is UTF-8;
// any other file is in the ANSI code page. Modern editors save UTF-8 without a mark, and
// Japanese UTF-8 text mostly decodes as (garbled) Shift-JIS too, so only validity as UTF-8
// tells it apart. The reverse mistake is rare: the lead bytes of kana, full-width signs and
// the common kanji (0x81-0x9F) and the half-width katakana from 0xA1 to 0xC1 can never begin
// a UTF-8 character, so Shift-JIS text passes for UTF-8 only where each of those bytes
// happens to continue a sequence begun by a rarer kanji (lead 0xE0-0xEF) or a half-width
// katakana (0xC2-0xDF): "ﾄｳ" or "鷹ア" alone would. The writer never leaves such a file
// without a mark (see encode_settings), so only a hand-made one can be misread.
bool records_pass_for_utf8(const std::vector<RawRecord>& records) {
  bool any_non_ascii = false;
  for (const RawRecord& record : records) {
    for (const RawField* field : {&record.drive, &record.folder}) {
      if (!is_valid_utf8(field->bytes)) return false;
      any_non_ascii = any_non_ascii || has_non_ascii(field->bytes);
    }
  }
  return any_non_ascii;
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

// Scanners, indexers and sync tools open files for a moment without letting them be
// replaced; about a second in all outlasts them.
using namespace std::chrono_literals;
constexpr std::chrono::milliseconds kReleasePauses[] = {20ms, 40ms, 80ms, 160ms, 300ms, 400ms};

bool held_by_another(ErrorNumber err) {
  return err == kErrPermissionDenied || err == kErrPathFileAccess;
}

ErrorNumber replace_once_released(FileSystem& files, const std::string& from,
                                  const std::string& to) {
  ErrorNumber err = files.replace(from, to);
  for (const std::chrono::milliseconds pause : kReleasePauses) {
    if (!held_by_another(err)) return err;
    files.pause_before_retry(pause);
    err = files.replace(from, to);
  }
  // The read-only attribute was checked before, so a refusal that lasts is a file held open.
  return held_by_another(err) ? kErrPermissionDenied : err;
}

// Fills a new file beside `path` with `fill` and puts it in the place of `path` in one step:
// on failure `path` stays as it was and the new file is removed.
ErrorNumber replace_whole_file(FileSystem& files, const std::string& path,
                               const std::function<ErrorNumber(OutputFile&)>& fill) {
  files.remove_leftover_temps(path);
  std::unique_ptr<OutputFile> file;
  std::string temp_path;
  if (ErrorNumber err = files.create_temp_beside(path, file, temp_path)) return err;

  ErrorNumber err = fill(*file);
  if (err == kOk) err = file->flush();
  if (err == kOk) err = file->close();
  file.reset();
  if (err == kOk) err = replace_once_released(files, temp_path, path);
  if (err != kOk) files.remove(temp_path);
  return err;
}

ErrorNumber copy_whole_file(FileSystem& files, const std::string& from, const std::string& to) {
  std::unique_ptr<InputFile> in;
  if (ErrorNumber err = files.open_read(from, in)) return err;
  return replace_whole_file(files, to, [&in](OutputFile& out) {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
      std::size_t got = 0;
      if (ErrorNumber err = in->read(buffer.data(), buffer.size(), got)) return err;
      if (got == 0) return kOk;
      if (ErrorNumber err = out.write(buffer.data(), got)) return err;
    }
  });
}

}  // namespace

SettingsReadResult read_settings(const SettingsIo& io, const std::string& path, std::size_t max) {
  SettingsReadResult result;
  std::unique_ptr<InputFile> file;
  result.failure = io.files.open_read(path, file);
  if (result.failure != kOk) return result;

  auto in = std::make_unique<ByteStream>(*file);
  FieldSource fields(*in);
  bool marked_utf8 = false;
  std::vector<RawRecord> raw;
  result.failure = read_bom(*in, marked_utf8);
  while (result.failure == kOk && raw.size() < max) {
    RawRecord record;
    bool at_end;
    if ((result.failure = fields.next(record.drive, at_end)) != kOk || at_end) break;
    if ((result.failure = fields.next(record.folder, at_end)) != kOk) break;
    if (at_end) {
      result.failure = kErrInputPastEnd;  // a drive field with no folder field
      break;
    }
    raw.push_back(std::move(record));
  }

  // The encoding belongs to the whole file, so the fields are decoded once all are read.
  const bool utf8 = marked_utf8 || records_pass_for_utf8(raw);
  for (const RawRecord& record : raw) {
    DriveSetting setting;
    setting.drive_is_number = !record.drive.quoted && reads_as_number(record.drive.bytes);
    ErrorNumber err = decode_field(io.code_page, utf8, record.drive.bytes, setting.drive);
    if (err == kOk) err = decode_field(io.code_page, utf8, record.folder.bytes, setting.folder);
    if (err != kOk) {
      result.failure = err;  // the first failure in file order
      break;
    }
    result.records.push_back(std::move(setting));
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
  if (representable && !passes_for_utf8(ansi)) return ansi;

  // Writing '?' for a character the code page lacks would silently change the folder, and
  // text that would pass for UTF-8 needs the mark to be read back as written.
  std::string utf8(kUtf8Bom);
  for (const DriveSetting& record : records) {
    utf8 += "\"" + record.drive + "\",\"" + record.folder + "\"\r\n";
  }
  return utf8;
}

ErrorNumber write_settings(const SettingsIo& io, const std::string& path,
                           const std::vector<DriveSetting>& records,
                           const std::string& backup_path) {
  // Replacing by rename would go around the read-only attribute, so honour it here.
  bool read_only = false;
  if (ErrorNumber err = io.files.is_read_only(path, read_only)) return err;
  if (read_only) return kErrPathFileAccess;

  if (!backup_path.empty()) {
    const ErrorNumber err = copy_whole_file(io.files, path, backup_path);
    if (err != kOk && err != kErrFileNotFound) return err;  // no file, nothing to keep
  }
  const std::string bytes = encode_settings(io.code_page, records);
  return replace_whole_file(
      io.files, path, [&bytes](OutputFile& out) { return out.write(bytes.data(), bytes.size()); });
}

std::string settings_path(const std::string& program_dir) {
  return program_file(program_dir, kSettingsFileName);
}

}  // namespace ndek
