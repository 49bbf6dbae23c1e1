#include "framework/core/input/EFPlayerDeviceMgrGC.h"

#include "framework/core/input/EFPlayerDevice.h"
#include "platform/os/OS.h"

#include <new>

PADStatus	EFPlayerDeviceMgr_SP::msaoPadStatus[PAD_MAX_CONTROLLERS];
u8			EFPlayerDeviceMgr_SP::msbResetPressed = 0;

u32 EFPlayerDeviceMgr_SP::PreInitialize() {
	if ( moDevices.GetCount() == 0 ) {
		EFPlayerDevice_SP::ForgetCombinationHolds();
		for ( u32 port = 0; port < EF_DEVICE_PAD_COUNT; port++ ) {
			EFPlayerDevice * const device =
				new ( std::nothrow ) EFPlayerDevice( static_cast<EFDeviceID_e>( EF_DEVICE_PAD_FIRST + port ) );
			if ( device == nullptr ) {
				OSReport( "NO MEMORY FOR PLAYER DEVICE %u!!!\n", port );
				continue;
			}
			device->CompilePossibilities();
			AddPlayerDevice( device );
		}
	}
	ActivatePlayerDeviceAll( true );
	return 1;
}

void EFPlayerDeviceMgr_SP::Update( const f32 dt ) {
	PADRead( msaoPadStatus );
	PADClampCircle( msaoPadStatus );
	EFPlayerDeviceMgr_BC::Update( dt );
}

void EFPlayerDeviceMgr_SP::PostTerminate() {
	for ( DTSingleLList<EFPlayerDevice *>::Node * node = moDevices.GetHead(); node != nullptr; node = node->mpNext ) {
		EFPlayerDevice * const device = node->mValue;
		if ( device->IsActive() && device->GetNbUsers() > 0 ) {
			device->Reset();
		}
	}
}

bool EFPlayerDeviceMgr_SP::IsReset() {
	const bool pressed = OSGetResetButtonState() != 0;
	if ( pressed ) {
		msbResetPressed = 1;
	}
	return msbResetPressed != 0 && !pressed;
}

bool EFPlayerDeviceMgr_SP::IsResetRequested() const {
	for ( DTSingleLList<EFPlayerDevice *>::Node * node = moDevices.GetHead(); node != nullptr; node = node->mpNext ) {
		if ( node->mValue->IsResetRequested() ) {
			return true;
		}
	}
	return false;
}
