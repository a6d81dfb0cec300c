// The two web pages that ship with the program, opened with the default browser.
#pragma once

namespace orvela {

enum class BundledPage { Home, Encodings };

// Writes the bundled pages to the per-user cache folder and hands the wanted one to
// the desktop's default program. Like a failing browser, a failing write shows nothing.
void OpenBundledPage(BundledPage page);

}  // namespace orvela
