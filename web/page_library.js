// The function the converter calls in the page's script: the module's
// owner sets Module.onPageWrite.
mergeInto(LibraryManager.library, {
  QvPageWrite: function (channel, data, size) {
    Module['onPageWrite'](channel, HEAPU8.subarray(data, data + size));
  },
});
