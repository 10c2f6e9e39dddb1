// BitReader
