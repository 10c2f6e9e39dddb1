// TextHelpers
