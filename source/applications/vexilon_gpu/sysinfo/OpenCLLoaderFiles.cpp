#include "sysinfo/OpenCLLoaderFiles.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/algorithm/string/trim.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

bool IsDirectory(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool IsFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The library a description names on its first line.
std::string DescribedLibrary(const std::string& description)
{
    std::ifstream file(description, std::ios::binary);
    std::string line;
    std::getline(file, line);
    boost::algorithm::trim_right_if(line, boost::algorithm::is_any_of(" \t\r"));
    return line;
}

// The folder's descriptions, in name order.
std::vector<std::string> DescriptionsIn(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() > 4 && boost::algorithm::ends_with(name, ".icd")) {
            files.push_back(folder + "/" + name);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

OpenCLLoaderFiles::Files OpenCLLoaderFiles::Find(const Variable& variable)
{
    Files files;
    const std::string libraries = variable("OCL_ICD_FILENAMES");
    if (!libraries.empty()) {
        boost::algorithm::split(files.libraries, libraries, boost::algorithm::is_any_of(":"),
                                boost::algorithm::token_compress_on);
        files.libraries.erase(std::remove(files.libraries.begin(), files.libraries.end(), std::string()),
                              files.libraries.end());
        return files;
    }
    std::string folder = variable("OPENCL_VENDOR_PATH");
    if (folder.empty()) {
        folder = "/etc/OpenCL/vendors";
    }
    const std::string vendors = variable("OCL_ICD_VENDORS");
    if (!vendors.empty() && IsDirectory(vendors)) {
        folder = vendors;
    } else if (boost::algorithm::ends_with(vendors, ".icd")) {
        // A bare name is looked for among the descriptions first.
        const std::string described = folder + "/" + vendors;
        files.descriptions.push_back(vendors.find('/') == std::string::npos && IsFile(described) ? described : vendors);
    } else if (!vendors.empty()) {
        files.libraries.push_back(vendors);
        return files;
    }
    if (files.descriptions.empty()) {
        files.descriptions = DescriptionsIn(folder);
    }
    for (const std::string& description : files.descriptions) {
        files.libraries.push_back(DescribedLibrary(description));
    }
    return files;
}
