#include "platform/pad/PAD.h"

#include "platform/types/PlatformFloatToInt.h"

#include <cmath>

namespace {

s8 CapAxis( const s8 value, const s32 range ) {
	if ( value > range ) {
		return static_cast<s8>( range );
	}
	if ( value < -range ) {
		return static_cast<s8>( -range );
	}
	return value;
}

// Square gate: each axis on its own.
void ClampStickSquare( s8* x, s8* y, const s32 range ) {
	*x = CapAxis( *x, range );
	*y = CapAxis( *y, range );
}

// Round gate: a stick outside the circle moves onto it along its
// direction. Coordinates round toward zero, so the result lies inside.
void ClampStickCircle( s8* x, s8* y, const s32 range ) {
	const s32 rawX = *x;
	const s32 rawY = *y;
	const s32 distanceSquared = rawX * rawX + rawY * rawY;
	if ( distanceSquared <= range * range ) {
		return;
	}
	const f64 scale = range / std::sqrt( static_cast<f64>( distanceSquared ) );
	s32 outX = PlatformFloatToS32( rawX * scale );
	s32 outY = PlatformFloatToS32( rawY * scale );
	// A quotient just below an integer may round up onto it in double.
	while ( outX * outX + outY * outY > range * range ) {
		const s32 absX = outX < 0 ? -outX : outX;
		const s32 absY = outY < 0 ? -outY : outY;
		if ( absX >= absY ) {
			outX += outX < 0 ? 1 : -1;
		} else {
			outY += outY < 0 ? 1 : -1;
		}
	}
	*x = static_cast<s8>( outX );
	*y = static_cast<s8>( outY );
}

typedef void ( *StickClamp )( s8* x, s8* y, s32 range );

void ClampAll( PADStatus* status, const StickClamp clampStick ) {
	if ( status == nullptr ) {
		return;
	}
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		PADStatus& reading = status[chan];
		if ( reading.err != PAD_ERR_NONE ) {
			continue;
		}
		clampStick( &reading.stickX, &reading.stickY, PAD_STICK_RANGE );
		clampStick( &reading.substickX, &reading.substickY, PAD_SUBSTICK_RANGE );
	}
}

}

void PADClamp( PADStatus* status ) {
	ClampAll( status, ClampStickSquare );
}

void PADClampCircle( PADStatus* status ) {
	ClampAll( status, ClampStickCircle );
}
