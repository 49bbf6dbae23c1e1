#include "platform/pad/PAD.h"

#include "datatypes/DTFloatToInt.h"

#include <cmath>

namespace {

// Distance from rest that a stick or trigger can drift on its own; readings
// inside it count as rest, and the usable range starts at its edge.
constexpr s32 STICK_DEAD_ZONE		= 15;
constexpr s32 SUBSTICK_DEAD_ZONE	= 15;
constexpr s32 TRIGGER_DEAD_ZONE		= 30;

s8 ClampAxis( const s8 value, const s32 deadZone, const s32 range ) {
	const s32 magnitude = value < 0 ? -static_cast<s32>( value ) : value;
	s32 live = magnitude - deadZone;
	if ( live <= 0 ) {
		return 0;
	}
	if ( live > range ) {
		live = range;
	}
	return static_cast<s8>( value < 0 ? -live : live );
}

// Square gate: each axis loses the dead zone and is capped at the range.
void ClampStickSquare( s8* x, s8* y, const s32 deadZone, const s32 range ) {
	*x = ClampAxis( *x, deadZone, range );
	*y = ClampAxis( *y, deadZone, range );
}

// Round gate: the stick's distance from rest loses the dead zone and is
// capped at the range; the direction is kept. Coordinates round toward
// zero, so the result always lies inside the circle.
void ClampStickCircle( s8* x, s8* y, const s32 deadZone, const s32 range ) {
	const s32 rawX = *x;
	const s32 rawY = *y;
	const s32 distanceSquared = rawX * rawX + rawY * rawY;
	if ( distanceSquared <= deadZone * deadZone ) {
		*x = 0;
		*y = 0;
		return;
	}
	const f64 distance = std::sqrt( static_cast<f64>( distanceSquared ) );
	f64 live = distance - deadZone;
	if ( live > range ) {
		live = range;
	}
	s32 outX = DTFloatToS32( rawX * live / distance );
	s32 outY = DTFloatToS32( rawY * live / distance );
	// Guard against a quotient rounded up onto the next integer.
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

u8 ClampTrigger( const u8 value ) {
	const s32 live = static_cast<s32>( value ) - TRIGGER_DEAD_ZONE;
	if ( live <= 0 ) {
		return 0;
	}
	return static_cast<u8>( live > PAD_TRIGGER_RANGE ? PAD_TRIGGER_RANGE : live );
}

typedef void ( *StickClamp )( s8* x, s8* y, s32 deadZone, s32 range );

void ClampAll( PADStatus* status, const StickClamp clampStick ) {
	if ( status == nullptr ) {
		return;
	}
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		PADStatus& reading = status[chan];
		if ( reading.err != PAD_ERR_NONE ) {
			continue;
		}
		clampStick( &reading.stickX, &reading.stickY, STICK_DEAD_ZONE, PAD_STICK_RANGE );
		clampStick( &reading.substickX, &reading.substickY, SUBSTICK_DEAD_ZONE, PAD_SUBSTICK_RANGE );
		reading.triggerLeft = ClampTrigger( reading.triggerLeft );
		reading.triggerRight = ClampTrigger( reading.triggerRight );
	}
}

}

void PADClamp( PADStatus* status ) {
	ClampAll( status, ClampStickSquare );
}

void PADClampCircle( PADStatus* status ) {
	ClampAll( status, ClampStickCircle );
}
