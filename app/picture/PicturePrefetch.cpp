#include "app/picture/PicturePrefetch.h"

#include <objbase.h>
#include <ocidl.h>

#include <atomic>
#include <thread>
#include <utility>

#include "app/picture/LoadPictureUrl.h"
#include "app/price/HttpClient.h"

namespace fw {

std::shared_ptr<Picture> FetchPicture(std::wstring_view url) {
  const HttpResponse response = HttpGet(url);
  if (!response.ok) return nullptr;
  PictureDispPtr disp = LoadPictureBytes(response.body);
  if (!disp) return nullptr;
  com_ptr<IPicture> picture;
  if (FAILED(disp->QueryInterface(IID_IPicture, picture.put())) || !picture) return nullptr;
  return Picture::FromIPicture(picture.get());
}

// Shared by the owner and the worker: the worker sets `picture`, then `done`,
// then signals `doneEvent`.
struct PicturePrefetch::Load {
  Load() : doneEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Load() {
    if (doneEvent) CloseHandle(doneEvent);
  }
  Load(const Load&) = delete;
  Load& operator=(const Load&) = delete;

  HANDLE doneEvent;
  std::atomic<bool> done{false};
  std::shared_ptr<Picture> picture;
};

PicturePrefetch::PicturePrefetch(std::wstring url) : m_url(std::move(url)) {
  try {
    auto load = std::make_shared<Load>();
    if (!load->doneEvent) return;
    std::thread([load, url = m_url] {
      const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      try {
        load->picture = FetchPicture(url);
      } catch (...) {
        load->picture.reset();
      }
      if (SUCCEEDED(com)) CoUninitialize();
      load->done = true;
      SetEvent(load->doneEvent);
    }).detach();
    m_load = std::move(load);
  } catch (...) {
    m_load.reset();  // no thread: Take loads on the caller's thread
  }
}

PicturePrefetch::~PicturePrefetch() = default;

bool PicturePrefetch::Done() const { return m_taken || !m_load || m_load->done; }

std::shared_ptr<Picture> PicturePrefetch::Take() {
  if (m_taken) return nullptr;
  m_taken = true;
  if (!m_load) return FetchPicture(m_url);
  const std::shared_ptr<Load> load = std::move(m_load);
  HANDLE done = load->doneEvent;
  while (!load->done) {
    // Wakes for the end of the load or for a message sent from another
    // thread; the peek answers sent messages and leaves posted ones queued.
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &done, INFINITE, QS_SENDMESSAGE, 0);
    if (woke == WAIT_OBJECT_0 + 1) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    } else if (woke != WAIT_OBJECT_0) {
      break;
    }
  }
  return load->done ? std::move(load->picture) : nullptr;
}

}  // namespace fw
