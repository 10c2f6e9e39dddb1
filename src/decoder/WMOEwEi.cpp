// WMOEwEi
