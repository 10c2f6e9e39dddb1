// DescriptorCatalogue
