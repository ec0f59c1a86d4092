// The functions the converter calls in the page's script: the module's
// owner sets Module.onPageWrite and Module.onPageProgress.
mergeInto(LibraryManager.library, {
  QvPageWrite: function (channel, data, size) {
    Module['onPageWrite'](channel, HEAPU8.subarray(data, data + size));
  },
  QvPageProgress: function (bytesRead) {
    if (Module['onPageProgress']) Module['onPageProgress'](bytesRead);
  },
});
