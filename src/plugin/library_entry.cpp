// The shared library is the core archive linked whole; this file only gives
// the target a source of its own.
