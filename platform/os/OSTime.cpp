#include "platform/os/OS.h"

#include "platform/host/HostClock.h"

namespace {

constexpr s64 SECONDS_PER_DAY = 86400;

bool IsLeapYear( const s32 year ) {
	return ( year % 4 == 0 && year % 100 != 0 ) || year % 400 == 0;
}

s32 DaysInMonth( const s32 year, const s32 month ) {
	static const s32 days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
	return month == 1 && IsLeapYear( year ) ? 29 : days[month];
}

}

OSTime OSGetTime() {
	return HostClockNow();
}

OSTick OSGetTick() {
	return static_cast<OSTick>( HostClockNow() );
}

void OSTicksToCalendarTime( const OSTime ticks, OSCalendarTime* td ) {
	s64 seconds = ticks / OS_TIMER_CLOCK;
	s64 rest = ticks % OS_TIMER_CLOCK;
	if ( rest < 0 ) {
		rest += OS_TIMER_CLOCK;
		--seconds;
	}
	td->msec = static_cast<s32>( rest / ( OS_TIMER_CLOCK / 1000 ) );
	td->usec = static_cast<s32>( rest % ( OS_TIMER_CLOCK / 1000 ) * 1000 / ( OS_TIMER_CLOCK / 1000 ) );

	s64 days = seconds / SECONDS_PER_DAY;
	s64 secondOfDay = seconds % SECONDS_PER_DAY;
	if ( secondOfDay < 0 ) {
		secondOfDay += SECONDS_PER_DAY;
		--days;
	}
	td->hour = static_cast<s32>( secondOfDay / 3600 );
	td->min = static_cast<s32>( secondOfDay / 60 % 60 );
	td->sec = static_cast<s32>( secondOfDay % 60 );

	// 2000-01-01 was a Saturday.
	td->wday = static_cast<s32>( ( ( days + 6 ) % 7 + 7 ) % 7 );

	s32 year = 2000;
	while ( days < 0 ) {
		--year;
		days += IsLeapYear( year ) ? 366 : 365;
	}
	for ( ;; ) {
		const s64 length = IsLeapYear( year ) ? 366 : 365;
		if ( days < length ) {
			break;
		}
		days -= length;
		++year;
	}
	td->year = year;
	td->yday = static_cast<s32>( days );
	s32 month = 0;
	while ( days >= DaysInMonth( year, month ) ) {
		days -= DaysInMonth( year, month );
		++month;
	}
	td->mon = month;
	td->mday = static_cast<s32>( days ) + 1;
}
