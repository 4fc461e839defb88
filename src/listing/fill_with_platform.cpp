// The listing as the programs run it: the platform's snapshot and paths.
#include "listing/fill_connection_list.h"
#include "listing/platform_listing.h"

ListingSource PlatformListingSource() { return {TakeTcpTableSnapshot, ProcessImagePath}; }

void FillConnectionList(ConnectionList& list) { FillConnectionList(list, PlatformListingSource()); }
