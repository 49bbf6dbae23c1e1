#include "framework/core/input/EFPlayerDeviceMgr.h"

EFPlayerDeviceMgr * gpoPlayerDeviceMgr = nullptr;

EFPlayerDeviceMgr::EFPlayerDeviceMgr( const EFAppContext & ) : mi32ActivePort( -1 ) {
	gpoPlayerDeviceMgr = this;
}

EFPlayerDeviceMgr::~EFPlayerDeviceMgr() {
	if ( gpoPlayerDeviceMgr == this ) {
		gpoPlayerDeviceMgr = nullptr;
	}
}
