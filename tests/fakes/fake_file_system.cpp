#include "tests/fakes/fake_file_system.h"

#include <algorithm>
#include <cstring>

namespace ndek::testing {
namespace {

class MemoryInput : public InputFile {
 public:
  MemoryInput(FakeFileSystem& fs, std::string content) : fs_(fs), content_(std::move(content)) {}
  ErrorNumber read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    if (ErrorNumber err = fs_.failure("read")) return err;
    got = std::min({capacity, fs_.read_block, content_.size() - pos_});
    std::memcpy(buffer, content_.data() + pos_, got);
    pos_ += got;
    fs_.bytes_read += got;
    return kOk;
  }

 private:
  FakeFileSystem& fs_;
  std::string content_;
  std::size_t pos_ = 0;
};

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  ErrorNumber write(const char* data, std::size_t size) override {
    if (ErrorNumber err = fs_.failure("write")) return err;
    fs_.files[path_].append(data, size);
    return kOk;
  }
  ErrorNumber flush() override { return fs_.failure("flush"); }
  ErrorNumber close() override { return fs_.failure("close"); }

 private:
  FakeFileSystem& fs_;
  std::string path_;
};

std::string temp_prefix(const std::string& path) { return path + "~"; }

}  // namespace

ErrorNumber FakeFileSystem::failure(const std::string& step) {
  const auto it = failures.find(step);
  if (it == failures.end() || it->second.empty()) return kOk;
  const ErrorNumber answer = it->second.front();
  if (it->second.size() > 1) it->second.pop_front();
  return answer;
}

ErrorNumber FakeFileSystem::open_read(const std::string& path, std::unique_ptr<InputFile>& file) {
  if (ErrorNumber err = failure("open")) return err;
  const auto it = files.find(path);
  if (it == files.end()) return kErrFileNotFound;
  file = std::make_unique<MemoryInput>(*this, it->second);
  return kOk;
}

ErrorNumber FakeFileSystem::create_temp_beside(const std::string& path,
                                               std::unique_ptr<OutputFile>& file,
                                               std::string& temp_path) {
  if (ErrorNumber err = failure("create")) return err;
  temp_path = temp_prefix(path) + std::to_string(++temp_count_) + ".tmp";
  files[temp_path];
  file = std::make_unique<MemoryOutput>(*this, temp_path);
  return kOk;
}

ErrorNumber FakeFileSystem::replace(const std::string& from, const std::string& to,
                                    const std::string& replaced) {
  if (!files.count(from) || !files.count(to)) return kErrFileNotFound;
  const ErrorNumber err = failure("replace");
  // The two failures that leave work half done leave it as the system does.
  if (err == kErrReplacementNotMoved) files.erase(to);
  if (err == kErrReplacementNotMovedBack) files[replaced] = files[to], files.erase(to);
  if (err != kOk) return err;
  files[replaced] = files[to];
  files[to] = files[from];
  files.erase(from);
  return kOk;
}

ErrorNumber FakeFileSystem::move(const std::string& from, const std::string& to) {
  if (!files.count(from)) return kErrFileNotFound;
  if (files.count(to)) return kErrFileExists;
  files[to] = files[from];
  files.erase(from);
  return kOk;
}

ErrorNumber FakeFileSystem::remove(const std::string& path) {
  if (ErrorNumber err = failure("remove")) return err;
  return files.erase(path) ? kOk : kErrFileNotFound;
}

ErrorNumber FakeFileSystem::is_read_only(const std::string& path, bool& is_read_only) {
  is_read_only = false;
  if (ErrorNumber err = failure("attributes")) return err;
  is_read_only = files.count(path) && read_only.count(path);
  return kOk;
}

void FakeFileSystem::remove_leftover_temps(const std::string& path) {
  const std::string prefix = temp_prefix(path);
  std::erase_if(files, [&prefix](const auto& file) { return file.first.rfind(prefix, 0) == 0; });
}

void FakeFileSystem::pause_before_retry(std::chrono::milliseconds pause) {
  pauses.push_back(pause);
}

}  // namespace ndek::testing
