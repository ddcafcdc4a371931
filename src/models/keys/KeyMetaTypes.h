#pragma once

// Registers the key and macro value types that cross threads in queued signals and travel in QVariants.
// Safe to call more than once; it also runs by itself when the application object is created.
void registerKeyMetaTypes();
