#include "tests/fakes/fake_file_system.h"

#include <algorithm>
#include <cstring>

namespace ndek::testing {
namespace {

class MemoryInput : public InputFile {
 public:
  MemoryInput(FakeFileSystem& fs, std::string content, std::size_t& counter)
      : fs_(fs), content_(std::move(content)), counter_(counter) {}
  ErrorNumber read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    if (ErrorNumber err = fs_.failure("read")) return err;
    got = std::min({capacity, fs_.read_block, content_.size() - pos_});
    std::memcpy(buffer, content_.data() + pos_, got);
    pos_ += got;
    counter_ += got;
    return kOk;
  }

 private:
  FakeFileSystem& fs_;
  std::string content_;
  std::size_t pos_ = 0;
  std::size_t& counter_;
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

class RepeatingInput : public InputFile {
 public:
  RepeatingInput(std::string pattern, unsigned long long size, std::size_t* counter)
      : pattern_(std::move(pattern)), left_(size), counter_(counter) {}
  ErrorNumber read(char* buffer, std::size_t capacity, std::size_t& got) override {
    got = static_cast<std::size_t>(std::min<unsigned long long>(capacity, left_));
    for (std::size_t i = 0; i < got; ++i) buffer[i] = pattern_[(offset_ + i) % pattern_.size()];
    offset_ = (offset_ + got) % pattern_.size();
    left_ -= got;
    if (counter_) *counter_ += got;
    return kOk;
  }

 private:
  std::string pattern_;
  unsigned long long left_;
  std::size_t offset_ = 0;
  std::size_t* counter_;
};

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string temp_prefix(const std::string& path) {
  const std::string dir = directory_of(path);
  return dir + "~" + path.substr(dir.size()) + ".";
}

}  // namespace

ErrorNumber FakeFileSystem::failure(const std::string& step) {
  const auto it = failures.find(step);
  if (it == failures.end()) return kOk;
  if (const auto left = failures_left.find(step); left != failures_left.end()) {
    if (left->second == 0) return kOk;
    --left->second;
  }
  return it->second;
}

ErrorNumber FakeFileSystem::open_read(const std::string& path, std::unique_ptr<InputFile>& file) {
  if (ErrorNumber err = failure("open")) return err;
  if (const auto stream = streams.find(path); stream != streams.end()) {
    file = stream->second();
    return kOk;
  }
  const auto it = files.find(path);
  if (it == files.end()) return kErrFileNotFound;
  file = std::make_unique<MemoryInput>(*this, it->second, bytes_read);
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

ErrorNumber FakeFileSystem::replace(const std::string& from, const std::string& to) {
  if (ErrorNumber err = failure("replace")) return err;
  const auto it = files.find(from);
  if (it == files.end()) return kErrFileNotFound;
  files[to] = it->second;
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
  std::erase_if(files, [&prefix](const auto& file) {
    const std::string& name = file.first;
    return name.size() > prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - 4, 4, ".tmp") == 0;
  });
}

void FakeFileSystem::pause_before_retry(std::chrono::milliseconds pause) {
  pauses.push_back(pause);
}

std::unique_ptr<InputFile> make_repeating_input(std::string pattern, unsigned long long size,
                                                std::size_t* bytes_read) {
  return std::make_unique<RepeatingInput>(std::move(pattern), size, bytes_read);
}

}  // namespace ndek::testing
