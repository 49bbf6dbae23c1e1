#include "framework/core/input/EFPlayerDevice_BC.h"

#include "datatypes/memory/MMMemory.h"

#include <cstring>

namespace {

// A zeroed array of count elements, or null (count 0 or no memory).
template< class T >
T * AllocateZeroed( const u16 count ) {
	if ( count == 0 ) {
		return nullptr;
	}
	const u32 bytes = static_cast<u32>( count ) * static_cast<u32>( sizeof( T ) );
	T * const array = static_cast<T *>( MMMalloc( bytes ) );
	if ( array != nullptr ) {
		std::memset( array, 0, bytes );
	}
	return array;
}

template< class T >
void Release( T *& array ) {
	if ( array != nullptr ) {
		MMFree( array );
		array = nullptr;
	}
}

} // namespace

EFPlayerDevice_BC::EFPlayerDevice_BC() :
	meDeviceID( EF_DEVICE_NONE ),
	mui16NbDigital( 0 ),
	mui16NbAnalog( 0 ),
	mbVibrationEnabled( 0 ),
	mbActive( 1 ),
	mui16NbUsers( 0 ),
	mpui8Digital( nullptr ),
	mpui8PrevDigital( nullptr ),
	mpui8DigitalMask( nullptr ),
	mpfAnalog( nullptr ),
	mpfAnalogExtra( nullptr ),
	mui16NbOutput( 0 ),
	mpfOutput( nullptr ),
	mpoInputErrorInstance( nullptr ),
	mui32Restart( 1 ) {
}

EFPlayerDevice_BC::~EFPlayerDevice_BC() {
	Release( mpui8Digital );
	Release( mpui8PrevDigital );
	Release( mpui8DigitalMask );
	Release( mpfAnalog );
	Release( mpfAnalogExtra );
	Release( mpfOutput );
}

void EFPlayerDevice_BC::Update( f32 ) {
	DeviceSpecificUpdate();
	MaskHeldButtons();
}

void EFPlayerDevice_BC::ActivatePlayerDevice( const bool active ) {
	mbActive = active ? 1 : 0;
	AcquirePlayerDevice( active );
}

void EFPlayerDevice_BC::SetNbDigital( const u16 count ) {
	Release( mpui8Digital );
	Release( mpui8PrevDigital );
	Release( mpui8DigitalMask );
	mpui8Digital = AllocateZeroed<u8>( count );
	mpui8PrevDigital = AllocateZeroed<u8>( count );
	mpui8DigitalMask = AllocateZeroed<u8>( count );
	const bool complete = mpui8Digital != nullptr && mpui8PrevDigital != nullptr && mpui8DigitalMask != nullptr;
	if ( !complete ) {
		Release( mpui8Digital );
		Release( mpui8PrevDigital );
		Release( mpui8DigitalMask );
	}
	mui16NbDigital = complete ? count : 0;
}

void EFPlayerDevice_BC::SetNbAnalog( const u16 count ) {
	Release( mpfAnalog );
	Release( mpfAnalogExtra );
	mpfAnalog = AllocateZeroed<f32>( count );
	mpfAnalogExtra = AllocateZeroed<f32>( count );
	const bool complete = mpfAnalog != nullptr && mpfAnalogExtra != nullptr;
	if ( !complete ) {
		Release( mpfAnalog );
		Release( mpfAnalogExtra );
	}
	mui16NbAnalog = complete ? count : 0;
}

void EFPlayerDevice_BC::SetNbOutput( const u16 count ) {
	Release( mpfOutput );
	mpfOutput = AllocateZeroed<f32>( count );
	mui16NbOutput = mpfOutput != nullptr ? count : 0;
	SetNbVibrationEvents();
}

u8 EFPlayerDevice_BC::GetDigital( const u32 index ) const {
	return index < mui16NbDigital ? mpui8Digital[index] : 0;
}

f32 EFPlayerDevice_BC::GetAnalog( const u32 index ) const {
	return index < mui16NbAnalog ? mpfAnalog[index] : 0.0f;
}

f32 EFPlayerDevice_BC::GetOutput( const u32 index ) const {
	return index < mui16NbOutput ? mpfOutput[index] : 0.0f;
}

void EFPlayerDevice_BC::MaskHeldButtons() {
	if ( mui32Restart != 0 ) {
		mui32Restart = 0;
		for ( u32 i = 0; i < mui16NbDigital; i++ ) {
			mpui8DigitalMask[i] = mpui8Digital[i];
		}
	}
	for ( u32 i = 0; i < mui16NbDigital; i++ ) {
		if ( mpui8DigitalMask[i] != 1 ) {
			mpui8DigitalMask[i] = 0;
		} else if ( mpui8Digital[i] != 0 ) {
			mpui8Digital[i] = 0;
		} else {
			mpui8DigitalMask[i] = 0;
		}
	}
}
