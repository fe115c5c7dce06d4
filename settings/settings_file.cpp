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

// Without a byte-order mark, text is UTF-8 only when it is valid UTF-8 and either is not
// valid in the code page or holds a UTF-8 sequence of three bytes or more (kana and kanji in
// UTF-8 always do). Shift-JIS text such as the half-width "ﾅｶﾆｼ" (C5 B6 C6 BC) can be valid
// 2-byte UTF-8 as well, and stays Shift-JIS. The price: hand-made UTF-8 whose only non-ASCII
// text is 2-byte ("café", Greek, Cyrillic) reads as the code page. The writer follows the
// same rule, so what it writes reads back as written.
bool unmarked_text_is_utf8(AnsiCodePage& code_page, const std::vector<std::string_view>& fields) {
  bool non_ascii = false;
  for (const std::string_view field : fields) {
    if (!is_valid_utf8(field)) return false;
    non_ascii = non_ascii || has_non_ascii(field);
  }
  if (!non_ascii) return false;
  for (const std::string_view field : fields) {
    // In valid UTF-8 a byte from 0xE0 on always begins a sequence of three bytes or more.
    if (std::any_of(field.begin(), field.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0xE0; })) {
      return true;
    }
  }
  std::string ignored;
  return std::any_of(fields.begin(), fields.end(),
                     [&](std::string_view field) { return !code_page.decode(field, ignored); });
}

bool records_read_as_utf8(AnsiCodePage& code_page, const std::vector<RawRecord>& records) {
  std::vector<std::string_view> fields;
  for (const RawRecord& record : records) {
    fields.push_back(record.drive.bytes);
    fields.push_back(record.folder.bytes);
  }
  return unmarked_text_is_utf8(code_page, fields);
}

void trim_blanks(std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t");
  text.erase(0, start == std::string::npos ? text.size() : start);
  text.erase(text.find_last_not_of(" \t") + 1);
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

// Scanners, backup and cloud clients open files for a few seconds without letting them be
// replaced; about five seconds in all outlasts them.
using namespace std::chrono_literals;
constexpr std::chrono::milliseconds kReleasePauses[] = {
    20ms, 40ms, 80ms, 160ms, 300ms, 400ms, 500ms, 500ms, 500ms, 500ms, 500ms, 500ms, 500ms, 500ms};

bool held_by_another(ErrorNumber err) {
  return err == kErrPermissionDenied || err == kErrPathFileAccess || err == kErrReplacedInUse;
}

// Puts `from` in the place of `to`, or where there is no `to` yet, moves it there.
ErrorNumber put_in_place(FileSystem& files, const std::string& from, const std::string& to) {
  const std::string replaced = from + kReplacedSuffix;
  ErrorNumber err = files.replace(from, to, replaced);
  if (err == kErrFileNotFound) return files.move(from, to);
  if (err == kOk) {
    files.remove(replaced);  // what stays is removed by the next save
  } else if (err == kErrReplacementNotMoved || err == kErrReplacementNotMovedBack) {
    // The old file goes back if it stands under the backup name; where it is gone, the new
    // file completes the save. Each move fails harmlessly where it has nothing to do.
    files.move(replaced, to);
    if (files.move(from, to) == kOk) return kOk;
  }
  return err;
}

ErrorNumber replace_once_released(const SettingsIo& io, const std::string& from,
                                  const std::string& to) {
  ErrorNumber err = put_in_place(io.files, from, to);
  for (const std::chrono::milliseconds pause : kReleasePauses) {
    if (!held_by_another(err)) return err;
    if (io.wait) {
      io.wait(pause);
    } else {
      io.files.pause_before_retry(pause);
    }
    err = put_in_place(io.files, from, to);
  }
  // The read-only attribute was checked before, so a refusal that lasts is a file held open.
  return held_by_another(err) ? kErrPermissionDenied : err;
}

// Fills a new file beside `path` with `fill` and puts it in the place of `path` in one step:
// on failure `path` stays as it was and the new file is removed.
ErrorNumber replace_whole_file(const SettingsIo& io, const std::string& path,
                               const std::function<ErrorNumber(OutputFile&)>& fill) {
  FileSystem& files = io.files;
  files.remove_leftover_temps(path);
  std::unique_ptr<OutputFile> file;
  std::string temp_path;
  if (ErrorNumber err = files.create_temp_beside(path, file, temp_path)) return err;

  ErrorNumber err = fill(*file);
  if (err == kOk) err = file->flush();
  if (err == kOk) err = file->close();
  file.reset();
  if (err == kOk) err = replace_once_released(io, temp_path, path);
  if (err != kOk) files.remove(temp_path);
  return err;
}

ErrorNumber copy_whole_file(const SettingsIo& io, const std::string& from, const std::string& to) {
  std::unique_ptr<InputFile> in;
  if (ErrorNumber err = io.files.open_read(from, in)) return err;
  return replace_whole_file(io, to, [&in](OutputFile& out) {
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
  const bool utf8 = marked_utf8 || records_read_as_utf8(io.code_page, raw);
  for (const RawRecord& record : raw) {
    DriveSetting setting;
    setting.drive_is_number = !record.drive.quoted && reads_as_number(record.drive.bytes);
    ErrorNumber err = decode_field(io.code_page, utf8, record.drive.bytes, setting.drive);
    if (err == kOk) err = decode_field(io.code_page, utf8, record.folder.bytes, setting.folder);
    if (err != kOk) {
      result.failure = err;  // the first failure in file order
      break;
    }
    trim_blanks(setting.drive);
    result.records.push_back(std::move(setting));
  }
  return result;
}

bool storable(const DriveSetting& record) {
  const auto no_quote = [](const std::string& field) {
    return field.find('"') == std::string::npos;
  };
  std::string drive = record.drive;
  trim_blanks(drive);
  return no_quote(record.drive) && no_quote(record.folder) && drive == record.drive;
}

std::string encode_settings(AnsiCodePage& code_page, const std::vector<DriveSetting>& records) {
  std::vector<const DriveSetting*> kept;
  for (const DriveSetting& record : records) {
    if (storable(record)) kept.push_back(&record);
  }
  std::string ansi;
  std::vector<std::string> fields;
  bool representable = true;
  for (const DriveSetting* record : kept) {
    std::string drive, folder;
    representable = encode_exactly(code_page, record->drive, drive) &&
                    encode_exactly(code_page, record->folder, folder);
    if (!representable) break;
    ansi += "\"" + drive + "\",\"" + folder + "\"\r\n";
    fields.push_back(std::move(drive));
    fields.push_back(std::move(folder));
  }
  if (representable && !unmarked_text_is_utf8(code_page, {fields.begin(), fields.end()})) {
    return ansi;
  }

  // Writing '?' for a character the code page lacks would silently change the folder, and
  // text that would read as UTF-8 needs the mark to be read back as written.
  std::string utf8(kUtf8Bom);
  for (const DriveSetting* record : kept) {
    utf8 += "\"" + record->drive + "\",\"" + record->folder + "\"\r\n";
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
    const ErrorNumber err = copy_whole_file(io, path, backup_path);
    if (err != kOk && err != kErrFileNotFound) return err;  // no file, nothing to keep
  }
  const std::string bytes = encode_settings(io.code_page, records);
  return replace_whole_file(
      io, path, [&bytes](OutputFile& out) { return out.write(bytes.data(), bytes.size()); });
}

std::string settings_path(const std::string& program_dir) {
  return program_file(program_dir, kSettingsFileName);
}

}  // namespace ndek
