#include "framework/picture_file.h"

#include <deque>
#include <functional>
#include <string_view>
#include <mutex>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/picture_formats.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "shell/file_contents.h"

namespace {

constexpr std::size_t kMaxPictureBytes = 16u << 20;
// Loaded pictures take resource ids from here up; one id for each distinct picture.
constexpr UINT kFirstLoadedId = 0xC000;
constexpr UINT kLastLoadedId = 0xFFFF;

struct LoadedPicture {
  vek::framework::BitmapResource resource;
  std::string title;
  std::size_t digest;  // of the file's bytes: one resource for each distinct picture
};

std::mutex g_lock;
std::deque<LoadedPicture> g_pictures;  // stable addresses: registered with the resources

// The resource of a picture, the same one again for a picture seen before.
const vek::framework::BitmapResource* Register(const vek::framework::GifInfo& info, const std::vector<std::uint8_t>& bytes) {
  std::size_t digest = std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  std::lock_guard guard(g_lock);
  for (const LoadedPicture& known : g_pictures)
    if (known.digest == digest && known.title == info.comment && known.resource.width == info.width &&
        known.resource.height == info.height)
      return &known.resource;
  if (g_pictures.size() > kLastLoadedId - kFirstLoadedId) return nullptr;
  LoadedPicture& picture = g_pictures.emplace_back();
  picture.title = info.comment;
  picture.digest = digest;
  picture.resource = {kFirstLoadedId + static_cast<UINT>(g_pictures.size() - 1), info.width, info.height, 8,
                      picture.title.c_str(), nullptr};
  vek::framework::RegisterBitmaps(&picture.resource, 1);
  return &picture.resource;
}

}  // namespace

HBITMAP LoadPicture(LPCSTR path) {
  std::vector<std::uint8_t> bytes;
  DWORD error = vek::shell::ReadFileContents(path, kMaxPictureBytes, &bytes);
  if (error != ERROR_SUCCESS) {
    SetLastError(error == vek::shell::ERROR_FILE_TOO_LARGE ? ERROR_INVALID_DATA : error);
    return nullptr;
  }
  vek::framework::GifInfo info;
  const vek::framework::BitmapResource* resource = nullptr;
  if (!vek::framework::ReadGifInfo(bytes, &info) || (resource = Register(info, bytes)) == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  return LoadBitmapA(nullptr, reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(resource->id)));
}
