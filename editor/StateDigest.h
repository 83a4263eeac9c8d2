#ifndef STATE_DIGEST_H
#define STATE_DIGEST_H

#include <cstdint>
#include <cstring>
#include <string>

// A 128-bit digest of the bytes fed to it, in two independent lanes: the
// state it stands for is never copied (the text may be many megabytes),
// and two different states giving the same digest is not a practical
// concern.
class StateDigest
{
public:
	void Add(const char* bytes, size_t length)
	{
		size_t i = 0;
		for (; i + 8 <= length; i += 8) {
			std::uint64_t word;
			memcpy(&word, bytes + i, 8);
			_Mix(word);
		}
		std::uint64_t tail = 0;
		memcpy(&tail, bytes + i, length - i);
		_Mix(tail ^ ((std::uint64_t)(length - i) << 56));
		_Mix(length);
	}

	std::string Value() const
	{
		std::string value(16, '\0');
		memcpy(value.data(), &mA, 8);
		memcpy(value.data() + 8, &mB, 8);
		return value;
	}

private:
	static std::uint64_t _Scramble(std::uint64_t x)
	{
		x ^= x >> 33;
		x *= 0xff51afd7ed558ccdull;
		x ^= x >> 33;
		x *= 0xc4ceb9fe1a85ec53ull;
		x ^= x >> 33;
		return x;
	}

	void _Mix(std::uint64_t word)
	{
		mA = _Scramble(mA ^ word) + 0x9e3779b97f4a7c15ull;
		mB = (mB ^ _Scramble(word + 0x632be59bd9b4e019ull)) * 0x100000001b3ull + (mB >> 29);
	}

	std::uint64_t mA = 0x243f6a8885a308d3ull;
	std::uint64_t mB = 0x13198a2e03707344ull;
};

#endif // STATE_DIGEST_H
