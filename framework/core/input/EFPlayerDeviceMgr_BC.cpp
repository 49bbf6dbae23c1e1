#include "framework/core/input/EFPlayerDeviceMgr_BC.h"

#include "framework/core/input/EFInputMgr.h"
#include "framework/core/input/EFPlayerDevice.h"

EFPlayerDeviceMgr_BC::EFPlayerDeviceMgr_BC() : mpoInputMgr( nullptr ), mbUpdated( 0 ) {
}

EFPlayerDeviceMgr_BC::~EFPlayerDeviceMgr_BC() {
	// The input manager lives as long as the devices its bindings hold.
	if ( mpoInputMgr != nullptr && mpoInputMgr == gpoInputMgr ) {
		delete gpoInputMgr;
		gpoInputMgr = nullptr;
	}
	mpoInputMgr = nullptr;
	for ( DTSingleLList<EFPlayerDevice *>::Node * node = moDevices.GetHead(); node != nullptr; node = node->mpNext ) {
		delete node->mValue;
	}
	moDevices.Clear();
}

void EFPlayerDeviceMgr_BC::AddPlayerDevice( EFPlayerDevice * const device ) {
	if ( device == nullptr ) {
		return;
	}
	if ( !moDevices.PushBack( device ) ) {
		delete device;
		return;
	}
	// The list only appends: rotate the older devices behind the new one.
	// Each is appended again before its old node goes, so a failed
	// allocation leaves every device in the list.
	const u32 older = moDevices.GetCount() - 1;
	for ( u32 i = 0; i < older; i++ ) {
		if ( !moDevices.PushBack( moDevices.GetHead()->mValue ) ) {
			break;
		}
		moDevices.PopFront();
	}
}

void EFPlayerDeviceMgr_BC::Update( const f32 dt ) {
	if ( mbUpdated == 0 ) {
		mbUpdated = 1;
		ActivatePlayerDeviceAll( true );
		return;
	}
	SpecificUpdate( dt );
	for ( DTSingleLList<EFPlayerDevice *>::Node * node = moDevices.GetHead(); node != nullptr; node = node->mpNext ) {
		EFPlayerDevice * const device = node->mValue;
		if ( device->IsActive() && device->GetNbUsers() > 0 ) {
			device->Update( dt );
		}
	}
	if ( mpoInputMgr != nullptr ) {
		mpoInputMgr->Update();
	}
}

void EFPlayerDeviceMgr_BC::PreTerminate() {
	for ( DTSingleLList<EFPlayerDevice *>::Node * node = moDevices.GetHead(); node != nullptr; node = node->mpNext ) {
		node->mValue->Terminate();
	}
}

u32 EFPlayerDeviceMgr_BC::Initialize() {
	if ( !PreInitialize() ) {
		return 0;
	}
	mpoInputMgr = EFInputMgr::Create();
	return PostInitialize() ? 1 : 0;
}

void EFPlayerDeviceMgr_BC::Terminate() {
	PreTerminate();
	if ( mpoInputMgr != nullptr ) {
		mpoInputMgr->InputConfigRemoveAll();
	}
	PostTerminate();
}

void EFPlayerDeviceMgr_BC::StartFrame() {
	if ( mpoInputMgr != nullptr ) {
		mpoInputMgr->StartFrame();
	}
}

EFPlayerDevice * EFPlayerDeviceMgr_BC::AcquirePlayerDevice( const EFDeviceID_e id ) {
	EFPlayerDevice * const device = GetDevice( id );
	if ( device == nullptr ) {
		return nullptr;
	}
	device->AddUser();
	if ( device->GetNbUsers() == 1 ) {
		device->AcquirePlayerDevice( true );
	}
	return device;
}

EFPlayerDevice * EFPlayerDeviceMgr_BC::GetDevice( const EFDeviceID_e id ) const {
	for ( DTSingleLList<EFPlayerDevice *>::Node * node = moDevices.GetHead(); node != nullptr; node = node->mpNext ) {
		if ( node->mValue->GetDeviceID() == id ) {
			return node->mValue;
		}
	}
	return nullptr;
}

void EFPlayerDeviceMgr_BC::ForgetInputErrorInstance( const EFInstance * const instance ) {
	for ( DTSingleLList<EFPlayerDevice *>::Node * node = moDevices.GetHead(); node != nullptr; node = node->mpNext ) {
		if ( node->mValue->GetInputErrorInstance() == instance ) {
			node->mValue->SetInputErrorInstance( nullptr );
		}
	}
}

void EFPlayerDeviceMgr_BC::ActivatePlayerDeviceAll( const bool active ) {
	for ( DTSingleLList<EFPlayerDevice *>::Node * node = moDevices.GetHead(); node != nullptr; node = node->mpNext ) {
		node->mValue->ActivatePlayerDevice( active );
	}
}
