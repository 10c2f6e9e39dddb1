// ScanDescriptors
