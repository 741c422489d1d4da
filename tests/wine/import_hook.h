#pragma once
// Redirects one imported function of this executable for as long as the hook lives. Every call
// that the platform layer makes into a system DLL goes through the executable's import table,
// so a hook sees the real arguments and results and can forward to the real function.
#include <windows.h>

class ImportHook {
  public:
    ImportHook(const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    // False when this executable does not import the function (the code under test never
    // calls it, or calls it some other way).
    bool installed() const { return slot_ != nullptr; }

    template <typename Function>
    Function original() const {
        return reinterpret_cast<Function>(original_);
    }

  private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
