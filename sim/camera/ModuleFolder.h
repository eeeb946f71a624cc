#pragma once
// The camera's files (its call log, its film settings) lie beside the DLL,
// wherever the test that registered it put it.
#include <string>

namespace fakecamera {

// The path of `name` in the folder FakeCamera.dll was loaded from.
std::wstring FileBesideModule(const std::wstring& name);

} // namespace fakecamera
