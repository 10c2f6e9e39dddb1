// SectionDump
