/*
===============================================================================

	Floating-point colour: red, green, blue and alpha in that order, each
	nominally 0 to 1.

===============================================================================
*/
#ifndef DT_COLOR_H
#define DT_COLOR_H

#include "datatypes/base/DTTypes.h"

class DTColor {
public:
	f32						r;
	f32						g;
	f32						b;
	f32						a;

							DTColor() : r( 0.0f ), g( 0.0f ), b( 0.0f ), a( 0.0f ) {}
							DTColor( const f32 red, const f32 green, const f32 blue, const f32 alpha )
								: r( red ), g( green ), b( blue ), a( alpha ) {}

	void					SetRGBA( const f32 red, const f32 green, const f32 blue, const f32 alpha );
	// Each component into 0..1; a NaN component stays as it is.
	void					Clamp();
};

static_assert( sizeof( DTColor ) == 16, "a colour is four floats" );

inline void DTColor::SetRGBA( const f32 red, const f32 green, const f32 blue, const f32 alpha ) {
	r = red;
	g = green;
	b = blue;
	a = alpha;
}

inline void DTColor::Clamp() {
	f32 * const components[4] = { &r, &g, &b, &a };
	for ( f32 * component : components ) {
		if ( *component < 0.0f ) {
			*component = 0.0f;
		} else if ( *component > 1.0f ) {
			*component = 1.0f;
		}
	}
}

#endif
