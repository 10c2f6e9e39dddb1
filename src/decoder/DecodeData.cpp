// DecodeData
