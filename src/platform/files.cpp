#include "platform/files.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

struct MappedFile::Impl {
  QFile file;
  // Used only when the file system cannot map the file.
  QByteArray copy;
  std::string_view content;
};

MappedFile::MappedFile(const std::string& path) : impl_(new Impl) {
  try {
    impl_->file.setFileName(ToQString(path));
    if (!impl_->file.open(QIODevice::ReadOnly)) {
      throw FileError("open", path, impl_->file.errorString().toStdString());
    }
    const qint64 size = impl_->file.size();
    // Mapping zero bytes fails by definition; an empty file is simply empty content.
    if (size > 0) {
      if (uchar* bytes = impl_->file.map(0, size)) {
        impl_->content =
            std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
      } else {
        // Pipes and some file systems cannot be mapped; reading them whole still works.
        impl_->copy = impl_->file.readAll();
        if (impl_->file.error() != QFileDevice::NoError) {
          throw FileError("read", path, impl_->file.errorString().toStdString());
        }
        impl_->content =
            std::string_view(impl_->copy.constData(), static_cast<std::size_t>(impl_->copy.size()));
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

std::string ReadWholeFile(const std::string& path) {
  QFile file(ToQString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    throw FileError("open", path, file.errorString().toStdString());
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    throw FileError("read", path, file.errorString().toStdString());
  }
  return bytes.toStdString();
}

void WriteFileReplacing(const std::string& path, const std::string& content) {
  // QSaveFile writes beside the target, syncs, and renames only on commit; when anything fails it
  // removes its temporary file and leaves the target alone. Unbuffered, so a write that fails
  // part-way (a full disk, a size limit) is seen here instead of being renamed over the old file.
  QSaveFile file(ToQString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    throw FileError("write", path, file.errorString().toStdString());
  }
  const auto size = static_cast<qint64>(content.size());
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
