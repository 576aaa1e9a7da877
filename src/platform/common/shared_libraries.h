// TSharedLibraries: libraries the engine opens when it first needs them rather than at start
// (GTK for the setup dialog, SDL2_mixer for sound, FFmpeg's for movies), by the names the system's
// loader knows them by, and the functions looked up in them. POSIX systems only.
//
// Each library is opened with every symbol bound at once and is never unmapped from the process
// (RTLD_NODELETE): such libraries start threads and register handlers and types that may outlive
// the object that loaded them. Destroying the object only drops its references.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace tovrin {

class TSharedLibraries {
 public:
  // Global: the library's symbols are visible to the modules it loads itself (GTK's input
  // methods, themes and image loaders expect that, as when linked); local otherwise.
  enum class TScope { sLocal, sGlobal };

  // Opens sonames in order (a library's own dependencies come with it). What names them in
  // errors ("GTK", "video"). Raises Exception "Cannot load the <what> library <soname>: <reason>"
  // for the first that cannot be opened.
  TSharedLibraries(std::initializer_list<const char*> sonames, TScope scope, std::string what);

  // The address of name in the first of the libraries that defines it. Raises Exception
  // "The <what> libraries lack <name>".
  void* Find(const char* name) const;

  // Stores the function name in target with the pointer's own type (POSIX makes a function's
  // address from the loader usable through a cast to its type).
  template <typename F>
  void Find(F& target, const char* name) const {
    target = reinterpret_cast<F>(Find(name));
  }

 private:
  struct TCloser {
    void operator()(void* handle) const;
  };
  std::vector<std::unique_ptr<void, TCloser>> FHandles;
  std::string FWhat;
};

}  // namespace tovrin
