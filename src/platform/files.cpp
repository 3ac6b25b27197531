#include "platform/files.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

namespace globeview {
namespace {

QString ToQString(const std::string& path) {
  return QString::fromStdString(path);
}

// "cannot open data.dat in /home/user/globe: No such file or directory": the file's own name and
// the absolute directory it was looked for in, so a relative name still says where.
std::string DescribeFailure(const std::string& operation, const std::string& path,
                            const std::string& reason) {
  const QFileInfo info(ToQString(path));
  const std::string name = info.fileName().toStdString();
  const std::string directory = QDir::toNativeSeparators(info.absolutePath()).toStdString();
  return "cannot " + operation + " " + (name.empty() ? path : name) + " in " + directory + ": " +
         reason;
}

}  // namespace

FileError::FileError(std::string operation, std::string path, std::string reason)
    : std::runtime_error(DescribeFailure(operation, path, reason)),
      operation_(std::move(operation)),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

// A pipe or a device has no end to map and may have no end at all: it is read up to this much,
// far more than any coastline, and whatever lies beyond is never read.
constexpr qint64 kMostStreamBytes = qint64{256} << 20;

struct MappedFile::Impl {
  QFile file;
  // Used only for what cannot be mapped.
  QByteArray copy;
  std::string_view content;

  void ReadIntoCopy(const std::string& path, qint64 most) {
    copy = file.read(most);
    if (file.error() != QFileDevice::NoError) {
      throw FileError("read", path, file.errorString().toStdString());
    }
    content = std::string_view(copy.constData(), static_cast<std::size_t>(copy.size()));
  }
};

MappedFile::MappedFile(const std::string& path) : impl_(new Impl) {
  try {
    impl_->file.setFileName(ToQString(path));
    if (!impl_->file.open(QIODevice::ReadOnly)) {
      throw FileError("open", path, impl_->file.errorString().toStdString());
    }
    const qint64 size = impl_->file.size();
    if (impl_->file.isSequential()) {
      impl_->ReadIntoCopy(path, kMostStreamBytes);
    } else if (size > 0) {  // mapping zero bytes fails by definition; an empty file is empty
      if (uchar* bytes = impl_->file.map(0, size)) {
        impl_->content =
            std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
      } else {
        // Some file systems cannot map; reading the file whole still works.
        impl_->ReadIntoCopy(path, size);
      }
    }
  } catch (...) {
    delete impl_;
    throw;
  }
}

MappedFile::~MappedFile() {
  delete impl_;
}

std::string_view MappedFile::Content() const {
  return impl_->content;
}

void WriteFileReplacing(const std::string& path, const std::string& content) {
  const auto size = static_cast<qint64>(content.size());
  std::error_code ignored;
  const auto status = std::filesystem::status(path, ignored);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
      !std::filesystem::is_directory(status)) {
    // A device or a pipe (/dev/stdout, a FIFO) is written to as it is; replacing it with a
    // regular file would destroy it.
    QFile stream(ToQString(path));
    if (!stream.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        stream.write(content.data(), size) != size) {
      throw FileError("write", path, stream.errorString().toStdString());
    }
    return;
  }

  // QSaveFile writes beside the target, syncs, and renames only on commit; when anything fails it
  // removes its temporary file and leaves the target alone. Unbuffered, so a write that fails
  // part-way (a full disk, a size limit) is seen here instead of being renamed over the old file.
  QSaveFile file(ToQString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    throw FileError("write", path, file.errorString().toStdString());
  }
  if (file.write(content.data(), size) != size) {
    const std::string reason = file.errorString().toStdString();
    file.cancelWriting();
    throw FileError("write", path, reason);
  }
  if (!file.commit()) {
    throw FileError("write", path, file.errorString().toStdString());
  }
}

}  // namespace globeview
