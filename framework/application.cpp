#include "framework/application.h"

#include "framework/frame_window.h"

namespace fw {

bool Application::Translate(FrameWindow* frame, MSG& message) {
  return frame != nullptr && frame->Handle() != nullptr && frame->Accelerators() != nullptr &&
         TranslateAcceleratorA(frame->Handle(), frame->Accelerators(), &message) != 0;
}

int Application::Run(FrameWindow& frame) {
  MSG message{};
  BOOL got;
  for (;;) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) frame.UpdateToolBar();  // idle
    got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (Translate(&frame, message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return got == -1 ? 1 : static_cast<int>(message.wParam);
}

bool Application::HandlePending(FrameWindow* frame) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that ends the program
      return false;
    }
    if (Translate(frame, message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (frame != nullptr) frame->UpdateToolBar();
  return true;
}

}  // namespace fw
