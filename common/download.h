#pragma once
// HTTP downloads on libcurl, for the version check.

#include "common/platform.h"

namespace tw {

class CurlDownloader : public Downloader {
public:
    DownloadResult download(const DownloadRequest& request) override;
};

}  // namespace tw
