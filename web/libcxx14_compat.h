// Included first in every file of the WebAssembly build. Debian's Emscripten
// ships libc++ 14, which lacks C++20's std::make_unique_for_overwrite
// (libc++ 15 has it); this is the single-object form, as the standard words
// it: the object default-initialised, not value-initialised.
#pragma once

#include <memory>

#if !defined(__cpp_lib_smart_ptr_for_overwrite) && defined(__cplusplus)
namespace std {
template <class T>
    requires(!is_array_v<T>)
unique_ptr<T> make_unique_for_overwrite() {
    return unique_ptr<T>(new T);
}
}  // namespace std
#endif
