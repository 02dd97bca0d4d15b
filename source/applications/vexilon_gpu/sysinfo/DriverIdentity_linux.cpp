#include "sysinfo/DriverIdentity.h"

#include "sysinfo/OpenCLLoaderFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace {

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::vector<std::string> Split(const std::string& list)
{
    std::vector<std::string> items;
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, ':');) {
        if (!item.empty()) {
            items.push_back(item);
        }
    }
    return items;
}

// The folder's files with this ending, sorted as the loaders sort them.
std::vector<std::string> FilesIn(const std::string& folder, const std::string& ending)
{
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string path = entry->path().string();
        if (path.size() > ending.size() && path.compare(path.size() - ending.size(), ending.size(), ending) == 0) {
            files.push_back(path);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Where the dynamic loader would find a library named without a folder.
std::string LibraryPath(const std::string& name)
{
    if (name.find('/') != std::string::npos) {
        return name;
    }
    std::vector<std::string> folders = Split(Variable("LD_LIBRARY_PATH"));
    for (const char* folder : {"/usr/local/lib", "/usr/lib/x86_64-linux-gnu", "/lib/x86_64-linux-gnu", "/usr/lib64",
                               "/usr/lib", "/lib"}) {
        folders.push_back(folder);
    }
    for (const std::string& folder : folders) {
        std::error_code error;
        if (std::filesystem::exists(folder + "/" + name, error)) {
            return folder + "/" + name;
        }
    }
    return name;
}

// The descriptions' own files, then the libraries they name.
std::string DescribedLibraries(const std::vector<std::string>& descriptions,
                               std::string (*libraryIn)(const std::string& description))
{
    std::vector<std::string> files = descriptions;
    for (const std::string& description : descriptions) {
        files.push_back(LibraryPath(libraryIn(ReadFile(description))));
    }
    return DriverIdentity::Files(files);
}

// glvnd's vendor description: {"ICD": {"library_path": "libEGL_mesa.so.0"}}.
std::string EglVendorLibrary(const std::string& text)
{
    const std::string::size_type key = text.find("\"library_path\"");
    const std::string::size_type open = text.find('"', text.find(':', key));
    if (key == std::string::npos || open == std::string::npos) {
        return std::string();
    }
    return text.substr(open + 1, text.find('"', open + 1) - open - 1);
}

} // namespace

std::string DriverIdentity::OpenCL()
{
    const OpenCLLoaderFiles::Files found = OpenCLLoaderFiles::Find(&Variable);
    std::vector<std::string> files = found.descriptions;
    for (const std::string& library : found.libraries) {
        files.push_back(LibraryPath(library));
    }
    return Files(files);
}

std::string DriverIdentity::Vulkan()
{
    std::vector<std::string> manifests = Split(Variable("VK_DRIVER_FILES"));
    if (manifests.empty()) {
        manifests = Split(Variable("VK_ICD_FILENAMES"));
    }
    if (manifests.empty()) {
        for (const char* folder : {"/usr/local/share/vulkan/icd.d", "/usr/share/vulkan/icd.d", "/etc/vulkan/icd.d"}) {
            const std::vector<std::string> found = FilesIn(folder, ".json");
            manifests.insert(manifests.end(), found.begin(), found.end());
        }
    }
    // A manifest names its library as glvnd's vendor descriptions do.
    return DescribedLibraries(manifests, &EglVendorLibrary);
}

std::string DriverIdentity::OpenGL()
{
    std::vector<std::string> descriptions = Split(Variable("__EGL_VENDOR_LIBRARY_FILENAMES"));
    if (descriptions.empty()) {
        std::string folders = Variable("__EGL_VENDOR_LIBRARY_DIRS");
        if (folders.empty()) {
            folders = "/etc/glvnd/egl_vendor.d:/usr/share/glvnd/egl_vendor.d";
        }
        for (const std::string& folder : Split(folders)) {
            const std::vector<std::string> found = FilesIn(folder, ".json");
            descriptions.insert(descriptions.end(), found.begin(), found.end());
        }
    }
    return DescribedLibraries(descriptions, &EglVendorLibrary);
}
